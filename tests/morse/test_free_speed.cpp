// A speed of its own: the gap formula, its figures as text, the signs of contacts and the
// presets kept beside the settings.
#include <QTemporaryDir>
#include <QtTest>

#include "core/kit/ProgramSettings.h"
#include "core/morse/ContactSigns.h"
#include "core/morse/SpeedPresets.h"
#include "support/HeardTones.h"
#include "support/WaveTestRig.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FreeSpeed)
Q_DECLARE_METATYPE(SoundGenerator)

class TestFreeSpeed : public QObject {
    Q_OBJECT

  private slots:
    void gaps_data() {
        QTest::addColumn<FreeSpeed>("speed");
        // Unit, character and word gap in ms; the figure a minute heard; the nearest fixed speed.
        QTest::addColumn<QList<double>>("expected");
        const auto row = [](const char* name, FreeSpeed speed, QList<double> expected) {
            QTest::newRow(name) << speed << expected;
        };
        row("20 plain", {20, 0, 0}, {60, 180, 420, 91, 60});
        row("13 plain", {13, 0, 0}, {92.3077, 276.923, 646.154, 59, 60});
        row("5 plain", {5, 0, 0}, {240, 720, 1680, 23, 25});
        row("effective = character", {20, 20, 0}, {60, 180, 420, 91, 60});
        row("effective above character", {10, 15, 0}, {120, 360, 840, 45, 45});
        row("25/4", {25, 4, 0}, {48, 2133.474, 4978.105, 18, 60});
        row("18/10", {18, 10, 0}, {66.6667, 621.053, 1449.123, 45, 60});
        row("20/5", {20, 5, 0}, {60, 1601.053, 3735.789, 23, 60});
        row("extra word space", {20, 0, 3}, {60, 180, 600, 86, 60});
        row("25/4 and extra", {25, 4, 2}, {48, 2133.474, 5074.105, 18, 60});
    }
    void gaps() {
        QFETCH(FreeSpeed, speed);
        QFETCH(QList<double>, expected);
        const FreeSpeedTimes times = TimesFor(speed);
        const QList<double> got{times.unitMs, times.characterGapMs, times.wordGapMs};
        for (qsizetype i = 0; i < got.size(); ++i) {
            QVERIFY(qAbs(got[i] - expected[i]) < 0.001);
        }
        QVERIFY(FreeSpeedText(speed).endsWith(u"（毎分%1文字）"_s.arg(int(expected[3]))));
        QCOMPARE(NearestFixedSpeed(speed), int(expected[4]));
        // The same figures come back from their text.
        QCOMPARE(ParseFreeSpeedFigures(FreeSpeedFigures(speed)), std::optional(speed));
    }

    // A dot 1200 / WPM ms at full level, a dash three units, one unit between elements (WAV tones
    // at half amplitude); a sign a generator closes with the word space gets the word gap (seven
    // units, or 7/19 of the ARRL spacing), a letter the character gap.
    void signsKeepTheRulesTimes_data() {
        QTest::addColumn<SoundGenerator>("generator");
        QTest::addColumn<FreeSpeed>("speed");
        QTest::addColumn<int>("quality");
        QTest::addColumn<QString>("patterns");  // of BT or AR and the E after it
        QTest::addColumn<double>("closingMs");
        const auto beep = SoundGenerator::Beep, wave = SoundGenerator::Wave;
        const FreeSpeed c20{20, 0, 0}, farnsworth{25, 4, 0};
        QTest::newRow("BT 20, beep") << beep << c20 << 3 << u"-...-."_s << 420.0;
        QTest::newRow("BT 20, wave") << wave << c20 << 3 << u"-...-."_s << 420.0;
        QTest::newRow("BT 25/4 beep") << beep << farnsworth << 3 << u"-...-."_s << 4978.105;
        QTest::newRow("AR 25/4 wave") << wave << farnsworth << 2 << u".-.-.."_s << 4978.105;
        QTest::newRow("AR 20 beep: a letter's gap") << beep << c20 << 3 << u".-.-.."_s << 180.0;
        QTest::newRow("BT 60, wave, longest ramps")
            << wave << FreeSpeed{60, 0, 0} << 1 << u"-...-."_s << 140.0;
    }
    void signsKeepTheRulesTimes() {
        QFETCH(SoundGenerator, generator);
        QFETCH(FreeSpeed, speed);
        QFETCH(int, quality);
        QFETCH(QString, patterns);
        QFETCH(double, closingMs);
        SoundRig rig;
        rig.controls.tone = u"882"_s;
        rig.controls.generator = generator;
        rig.controls.free = speed;
        rig.controls.quality = quality;
        for (QChar character : (patterns[0] == u'-' ? u"=E"_s : u"+E"_s)) {
            rig.dispatch.SoundCharacter(character, CharacterTable::Chat);
        }
        rig.heard();
        const QList<HeardTone> tones = HeardTones(rig.output);
        const double unit = 1200 / speed.characterWpm;
        QCOMPARE(tones.size(), patterns.size());
        for (qsizetype i = 0; i < tones.size(); ++i) {
            const double length = (patterns[i] == u'-' ? 3 : 1) * unit;
            QCOMPARE_LT(std::abs((tones[i].end - tones[i].start) / 44.1 - length), 0.1);
            QCOMPARE_GT(tones[i].level, 0.99);
            if (i + 1 < tones.size()) {
                const double gap = i + 2 == tones.size() ? closingMs : unit;
                QCOMPARE_LT(std::abs((tones[i + 1].start - tones[i].end) / 44.1 - gap), 0.1);
            }
        }
    }

    void figuresAreReadStrictly_data() {
        QTest::addColumn<QString>("text");
        for (const char* text :
             {"", "c=20", "c=20 e=0", "c=20 e=0 w=0 ", " c=20 e=0 w=0", "c=4.9 e=0 w=0",
              "c=61 e=0 w=0", "c=20 e=0.5 w=0", "c=20 e=0 w=31", "c=20 e=0 w=-1", "c=2e1 e=0 w=0",
              "c=nan e=0 w=0", "c=20.1234 e=0 w=0", "e=0 c=20 w=0", "c=20\ne=0 w=0",
              "c=34 e=0 w=0\n", "c=٢٠ e=0 w=0"}) {
            QTest::newRow(text) << QString::fromUtf8(text);
        }
    }
    void figuresAreReadStrictly() {
        QFETCH(QString, text);
        QCOMPARE(ParseFreeSpeedFigures(text), std::nullopt);
    }

    void contactSigns() {
        const QList<ContactSign>& signs = ContactSigns();
        QSet<QString> patterns, texts;
        for (const ContactSign& sign : signs) {
            patterns << sign.pattern;
            texts << sign.text;
            QCOMPARE(SignForPattern(sign.pattern), sign.text);
            QCOMPARE(PatternForSign(sign.text), sign.pattern);
        }
        QCOMPARE(patterns.size(), signs.size());
        QCOMPARE(texts.size(), signs.size());
        QCOMPARE(signs.at(40).text, u"<BT>"_s);
        for (const auto& [text, pattern] : {std::pair{"=", "-...-"},
                                            {"+", ".-.-."},
                                            {"(", "-.--."},
                                            {"&", ".-..."},
                                            {",", "--..--"},
                                            {"<sk>", "...-.-"},
                                            {"<BK>", "-...-.-"},
                                            {"q", "--.-"},
                                            {"%", ""},
                                            {"<ZZ>", ""}}) {
            QCOMPARE(PatternForSign(QString::fromUtf8(text)), QString::fromUtf8(pattern));
        }
    }

    void keptBesideTheSettings() {
        QTemporaryDir dir;
        ProgramSettings store(dir.filePath(u"quillstart.ini"_s));
        QCOMPARE(LoadSpeedPresets(store), ShippedPresets());
        // The default writes nothing: no file for a setting never used.
        QVERIFY(SaveFreeSpeedChoice(store, {}));
        QVERIFY(!QFile::exists(store.path()));

        const FreeSpeedChoice choice{FreeSpeed{18.5, 10, 1.5}, true};
        QVERIFY(SaveFreeSpeedChoice(store, choice));
        QCOMPARE(LoadFreeSpeedChoice(store), choice);
        QList<SpeedPreset> presets{{u"a, \"b\"\tc"_s, FreeSpeed{30, 0, 0}, u"650"_s},
                                   {u"ゆっくり"_s, FreeSpeed{25, 6, 2}, u"800"_s}};
        QVERIFY(SaveSpeedPresets(store, presets));
        presets[0].name = u"a, \"b\" c"_s;  // a tab would split the entry
        QCOMPARE(LoadSpeedPresets(store), presets);
        QVERIFY(SaveSpeedPresets(store, {}));
        QCOMPARE(LoadSpeedPresets(store), QList<SpeedPreset>());

        // What does not read is left out, never taken.
        QVERIFY(store.setValue(u"speed/presets"_s,
                               QStringList{u"x\tc=99 e=0 w=0\t800"_s, u"y\tc=20 e=0 w=0\t700"_s,
                                           u"z"_s, u"w\tc=20 e=0 w=0\t1e3"_s}));
        QCOMPARE(LoadSpeedPresets(store).size(), 1);
        QVERIFY(store.setValue(u"speed/free"_s, u"c=20 e=0"_s));
        QCOMPARE(LoadFreeSpeedChoice(store), FreeSpeedChoice{});
    }
};

QTEST_MAIN(TestFreeSpeed)
#include "test_free_speed.moc"
