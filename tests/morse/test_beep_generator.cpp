#include <QtTest>

#include "core/morse/BeepGenerator.h"
#include "core/morse/ToneFrequency.h"
#include "support/RecordingSoundOutput.h"
#include "support/VirtualClock.h"

namespace {

// The main window's tone box and fine-adjustment scroll bar, with a log of when
// the generator looked at the scroll bar.
class FakeControls : public SoundControls {
  public:
    explicit FakeControls(const Clock& clock) : m_clock(clock) {}

    int toneHz() const override { return ToneFrequencyForSound(tone); }
    int fineAdjustValue() const override {
        fineReadTimes << m_clock.now();
        return fine;
    }

    QString tone = QStringLiteral("800");
    int fine = 0;
    mutable QList<qint64> fineReadTimes;

  private:
    const Clock& m_clock;
};

constexpr qint64 kStart = 1000;

struct Rig {
    VirtualClock clock{kStart};
    RecordingSoundOutput output{clock};
    FakeControls controls{clock};
    MorseSoundState state;
    BeepGenerator generator{output, controls, state, clock};

    // Plans the symbol and waits until it has been heard.
    void play(SymbolId symbol, int dot, int dash) {
        generator.SoundCharacterBeep(symbol, dot, dash);
        output.waitUntilHeard(output.plannedEnd(), [] { return false; });
    }

    // "T360 G120 ..." for tones and gaps, in the order they were asked for.
    QString timeline() const {
        QStringList parts;
        for (const auto& event : output.events()) {
            const bool tone = event.kind == RecordingSoundOutput::Kind::Tone;
            parts << (tone ? u'T' : u'G') + QString::number(event.durationMs);
        }
        return parts.join(u' ');
    }

    QList<int> toneFrequencies() const {
        QList<int> frequencies;
        for (const auto& event : output.events()) {
            if (event.kind == RecordingSoundOutput::Kind::Tone) {
                frequencies << event.frequencyHz;
            }
        }
        return frequencies;
    }

    // Each element starts where the one before it ended, tones and gaps alternate,
    // and the call returns when the closing gap is over.
    bool isSeamless(qint64 from) const {
        qint64 expectedStart = from;
        bool expectTone = true;
        for (const auto& event : output.events()) {
            const bool tone = event.kind == RecordingSoundOutput::Kind::Tone;
            if (event.start != expectedStart || tone != expectTone) {
                return false;
            }
            expectedStart += event.durationMs;
            expectTone = !expectTone;
        }
        return expectTone && clock.now() == expectedStart;
    }
};

QString Repeated(const QString& element, int count) {
    QStringList parts;
    for (int i = 0; i < count; ++i) {
        parts << element;
    }
    return parts.join(u' ');
}

const QString kLettersAndDigits = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890");

}  // namespace

class TestBeepGenerator : public QObject {
    Q_OBJECT

  private slots:
    void timeline_data() {
        QTest::addColumn<int>("symbol");
        QTest::addColumn<int>("dot");
        QTest::addColumn<int>("dash");
        QTest::addColumn<int>("fine");
        QTest::addColumn<QString>("expected");
        QTest::newRow("B at 45") << int(SymbolId::B) << 120 << 360 << 0
                                 << QStringLiteral("T360 G120 T120 G120 T120 G120 T120 G360");
        QTest::newRow("BT at 60") << int(SymbolId::BT) << 90 << 270 << 0
                                  << QStringLiteral("T270 G90 T90 G90 T90 G90 T90 G90 T270 G630");
        QTest::newRow("5 at 25, -20")
            << int(SymbolId::Num5) << 220 << 660 << -20
            << Repeated(QStringLiteral("T176 G176"), 4) + QStringLiteral(" T176 G528");
        QTest::newRow("E at 25") << int(SymbolId::E) << 220 << 660 << 0
                                 << QStringLiteral("T220 G660");
        QTest::newRow("E at 45") << int(SymbolId::E) << 120 << 360 << 0
                                 << QStringLiteral("T120 G360");
        QTest::newRow("BT at 25") << int(SymbolId::BT) << 220 << 660 << 0
                                  << QStringLiteral(
                                         "T660 G220 T220 G220 T220 G220 T220 G220 T660 G1540");
        QTest::newRow("T at 60, +20")
            << int(SymbolId::T) << 90 << 270 << 20 << QStringLiteral("T324 G324");
        // 90 x 0.85 = 76.5 -> 76 and 270 x 0.85 = 229.5 -> 230 (ties to even); the
        // closing gap is 630 x 0.85 = 535.5 -> 536, not seven rounded units (532).
        QTest::newRow("BT at 60, -15")
            << int(SymbolId::BT) << 90 << 270 << -15
            << QStringLiteral("T230 G76 T76 G76 T76 G76 T76 G76 T230 G536");
        QTest::newRow("A at 60, 15")
            << int(SymbolId::A) << 90 << 270 << 15 << QStringLiteral("T104 G104 T310 G310");
        // The lengths come from the caller: a dash is not derived from the dot.
        QTest::newRow("A with dot 100, dash 250")
            << int(SymbolId::A) << 100 << 250 << 0 << QStringLiteral("T100 G100 T250 G250");
        QTest::newRow("BT with dot 100, dash 250")
            << int(SymbolId::BT) << 100 << 250 << 0
            << QStringLiteral("T250 G100 T100 G100 T100 G100 T100 G100 T250 G700");
        // A value between the steps sounds at factor 1.
        QTest::newRow("N at 45, off-step 7")
            << int(SymbolId::N) << 120 << 360 << 7 << QStringLiteral("T360 G120 T120 G360");
    }
    void timeline() {
        QFETCH(int, symbol);
        QFETCH(int, dot);
        QFETCH(int, dash);
        QFETCH(int, fine);
        QFETCH(QString, expected);
        Rig rig;
        rig.controls.fine = fine;
        rig.play(static_cast<SymbolId>(symbol), dot, dash);
        QCOMPARE(rig.timeline(), expected);
        QVERIFY(rig.isSeamless(kStart));
        for (int frequency : rig.toneFrequencies()) {
            QCOMPARE(frequency, 800);
        }
    }

    void everySymbol_data() {
        QTest::addColumn<int>("symbol");
        for (const MorseSymbol& entry : MorseTable()) {
            QTest::newRow(entry.fileStem) << int(entry.id);
        }
    }
    void everySymbol() {
        QFETCH(int, symbol);
        const auto id = static_cast<SymbolId>(symbol);
        const QLatin1StringView pattern(MorseSymbolFor(id).pattern);
        Rig rig;
        rig.state.LastSoundedChar = QStringLiteral("#");
        rig.play(id, 120, 360);

        // Tone per element by the pattern, one unit between elements, three
        // units after the character (seven after BT).
        QStringList expected;
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            expected << (pattern[i] == u'-' ? QStringLiteral("T360") : QStringLiteral("T120"));
            expected << QStringLiteral("G120");
        }
        expected.last() = id == SymbolId::BT ? QStringLiteral("G840") : QStringLiteral("G360");
        QCOMPARE(rig.output.events().size(), pattern.size() * 2);
        QCOMPARE(rig.timeline(), expected.join(u' '));
        QVERIFY(rig.isSeamless(kStart));

        // Letters and digits are recorded; the six signs leave the last one alone.
        const QString recorded = symbol < kLettersAndDigits.size()
                                     ? QString(kLettersAndDigits[symbol])
                                     : QStringLiteral("#");
        QCOMPARE(rig.state.LastSoundedChar, recorded);
    }

    // The whole symbol is planned at once, before it sounds, with the settings of that moment;
    // its letter is recorded as it begins to be heard.
    void theWholeSymbolIsPlannedAtOnce() {
        Rig rig;
        rig.clock.scheduleAt(kStart + 230, [&] { rig.controls.fine = -20; });
        rig.generator.SoundCharacterBeep(SymbolId::Num5, 220, 660);
        QCOMPARE(rig.clock.now(), kStart);
        QVERIFY(rig.state.LastSoundedChar.isEmpty());
        QCOMPARE(rig.timeline(),
                 Repeated(QStringLiteral("T220 G220"), 4) + QStringLiteral(" T220 G660"));
        QVERIFY(rig.controls.fineReadTimes.size() <= 1);
        rig.output.waitUntilHeard(rig.output.plannedEnd(), [] { return false; });
        QVERIFY(rig.isSeamless(kStart));
        QCOMPARE(rig.state.LastSoundedChar, QStringLiteral("5"));
    }

    void frequencyIsFixedForTheWholeSymbol() {
        Rig rig;
        rig.clock.scheduleAt(kStart + 130, [&] { rig.controls.tone = QStringLiteral("1200"); });
        rig.play(SymbolId::Num5, 120, 360);
        QCOMPARE(rig.toneFrequencies(), QList<int>(5, 800));

        rig.output.clear();
        rig.play(SymbolId::A, 120, 360);
        QCOMPARE(rig.toneFrequencies(), QList<int>({1200, 1200}));
    }

    void toneTextGivesASoundableFrequency_data() {
        QTest::addColumn<QString>("tone");
        QTest::addColumn<int>("exact");  // 0: only the range is checked
        QTest::newRow("800") << QStringLiteral("800") << 800;
        QTest::newRow("100") << QStringLiteral("100") << 100;
        QTest::newRow("6000") << QStringLiteral("6000") << 6000;
        QTest::newRow("1234") << QStringLiteral("1234") << 1234;
        // Texts the range check has not seen yet (an emptied box, the settings file).
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("99999999999") << QStringLiteral("99999999999") << 0;
        QTest::newRow("0") << QStringLiteral("0") << 0;
        QTest::newRow("50") << QStringLiteral("50") << 0;
        QTest::newRow("-5") << QStringLiteral("-5") << 0;
        QTest::newRow("7000") << QStringLiteral("7000") << 0;
        QTest::newRow("-32768") << QStringLiteral("-32768") << 0;
    }
    void toneTextGivesASoundableFrequency() {
        QFETCH(QString, tone);
        QFETCH(int, exact);
        Rig rig;
        rig.controls.tone = tone;
        rig.play(SymbolId::E, 90, 270);
        QCOMPARE(rig.toneFrequencies().size(), 1);
        const int frequency = rig.toneFrequencies().constFirst();
        if (exact != 0) {
            QCOMPARE(frequency, exact);
        }
        QVERIFY2(frequency >= 100 && frequency <= 6000, qPrintable(QString::number(frequency)));
        QCOMPARE(rig.timeline(), QStringLiteral("T90 G270"));
    }

    void quittingEndsTheWaitAndThePlanning() {
        Rig rig;
        rig.clock.scheduleAt(kStart + 400, [&] { rig.clock.requestQuit(); });
        rig.play(SymbolId::B, 120, 360);
        QCOMPARE(rig.clock.now(), kStart + 400);

        // Nothing more is planned once the program is ending.
        const int planned = rig.output.events().size();
        rig.play(SymbolId::E, 120, 360);
        QCOMPARE(rig.output.events().size(), planned);
        QCOMPARE(rig.clock.now(), kStart + 400);
    }
};

QTEST_GUILESS_MAIN(TestBeepGenerator)
#include "test_beep_generator.moc"
