#include <QtTest>
#include <cmath>
#include <cstring>

#include "core/morse/MorseTable.h"
#include "core/morse/MorseTiming.h"

namespace {

struct ExpectedSymbol {
    const char* name;
    SymbolId id;
    const char* pattern;
    const char* fileStem;
    const char* recordedBeep;  // nullptr: LastSoundedChar keeps its value
    const char* recordedWave;
};

// Written out by hand, in table order, so that a slip in the program's table shows.
constexpr ExpectedSymbol kExpectedSymbols[] = {
    {"A", SymbolId::A, ".-", "A", "A", "A"},
    {"B", SymbolId::B, "-...", "B", "B", "B"},
    {"C", SymbolId::C, "-.-.", "C", "C", "C"},
    {"D", SymbolId::D, "-..", "D", "D", "D"},
    {"E", SymbolId::E, ".", "E", "E", "E"},
    {"F", SymbolId::F, "..-.", "F", "F", "F"},
    {"G", SymbolId::G, "--.", "G", "G", "G"},
    {"H", SymbolId::H, "....", "H", "H", "H"},
    {"I", SymbolId::I, "..", "I", "I", "I"},
    {"J", SymbolId::J, ".---", "J", "J", "J"},
    {"K", SymbolId::K, "-.-", "K", "K", "K"},
    {"L", SymbolId::L, ".-..", "L", "L", "L"},
    {"M", SymbolId::M, "--", "M", "M", "M"},
    {"N", SymbolId::N, "-.", "N", "N", "N"},
    {"O", SymbolId::O, "---", "O", "O", "O"},
    {"P", SymbolId::P, ".--.", "P", "P", "P"},
    {"Q", SymbolId::Q, "--.-", "Q", "Q", "Q"},
    {"R", SymbolId::R, ".-.", "R", "R", "R"},
    {"S", SymbolId::S, "...", "S", "S", "S"},
    {"T", SymbolId::T, "-", "T", "T", "T"},
    {"U", SymbolId::U, "..-", "U", "U", "U"},
    {"V", SymbolId::V, "...-", "V", "V", "V"},
    {"W", SymbolId::W, ".--", "W", "W", "W"},
    {"X", SymbolId::X, "-..-", "X", "X", "X"},
    {"Y", SymbolId::Y, "-.--", "Y", "Y", "Y"},
    {"Z", SymbolId::Z, "--..", "Z", "Z", "Z"},
    {"1", SymbolId::Num1, ".----", "1", "1", "1"},
    {"2", SymbolId::Num2, "..---", "2", "2", "2"},
    {"3", SymbolId::Num3, "...--", "3", "3", "3"},
    {"4", SymbolId::Num4, "....-", "4", "4", "4"},
    {"5", SymbolId::Num5, ".....", "5", "5", "5"},
    {"6", SymbolId::Num6, "-....", "6", "6", "6"},
    {"7", SymbolId::Num7, "--...", "7", "7", "7"},
    {"8", SymbolId::Num8, "---..", "8", "8", "8"},
    {"9", SymbolId::Num9, "----.", "9", "9", "9"},
    {"0", SymbolId::Num0, "-----", "0", "0", "0"},
    {"KN", SymbolId::KN, "-.--.", "KN", nullptr, nullptr},
    {"AR", SymbolId::AR, ".-.-.", "AR", nullptr, nullptr},
    {"Period", SymbolId::Period, ".-.-.-", "Period", nullptr, "."},
    {"Slash", SymbolId::Slash, "-..-.", "Surash", nullptr, "/"},
    {"BT", SymbolId::BT, "-...-", "BT", nullptr, "="},
    {"Question", SymbolId::Question, "..--..", "Question", nullptr, "?"},
};

// The nine steps of the fine adjustment and their factors, as single-precision literals.
struct Step {
    int value;
    float factor;
    const char* caption;
};
constexpr Step kSteps[] = {
    {20, 1.2f, "微調整 -20%"},  {15, 1.15f, "微調整 -15%"},  {10, 1.1f, "微調整 -10%"},
    {5, 1.05f, "微調整 - 5%"},  {0, 1.0f, "微調整 ±0%"},     {-5, 0.95f, "微調整 + 5%"},
    {-10, 0.9f, "微調整 +10%"}, {-15, 0.85f, "微調整 +15%"}, {-20, 0.8f, "微調整 +20%"},
};

// Exact comparison: QCOMPARE on floats is fuzzy, and the factor must be the very
// single-precision value, or products that land on .5 round the other way.
bool SameFloat(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QString Recorded(const char* text) {
    return text == nullptr ? QString() : QString::fromLatin1(text);
}

}  // namespace

class TestMorseTiming : public QObject {
    Q_OBJECT

  private slots:
    void tableHoldsTheFortyTwoSymbolsInOrder() {
        QCOMPARE(MorseTable().size(), std::size(kExpectedSymbols));
        for (std::size_t i = 0; i < MorseTable().size(); ++i) {
            QCOMPARE(static_cast<int>(MorseTable()[i].id), static_cast<int>(i));
        }
    }

    void symbolEntry_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(std::size(kExpectedSymbols)); ++i) {
            QTest::newRow(kExpectedSymbols[i].name) << i;
        }
    }
    void symbolEntry() {
        QFETCH(int, index);
        const ExpectedSymbol& expected = kExpectedSymbols[index];
        const MorseSymbol& entry = MorseSymbolFor(expected.id);
        QCOMPARE(static_cast<int>(entry.id), static_cast<int>(expected.id));
        QCOMPARE(QLatin1StringView(entry.pattern), QLatin1StringView(expected.pattern));
        QCOMPARE(QLatin1StringView(entry.fileStem), QLatin1StringView(expected.fileStem));
        // A null string stands for "unchanged", distinct from an empty record.
        QCOMPARE(Recorded(entry.recordedBeep).isNull(), expected.recordedBeep == nullptr);
        QCOMPARE(Recorded(entry.recordedBeep), Recorded(expected.recordedBeep));
        QCOMPARE(Recorded(entry.recordedWave).isNull(), expected.recordedWave == nullptr);
        QCOMPARE(Recorded(entry.recordedWave), Recorded(expected.recordedWave));
    }

    void symbolForAlphanumeric_data() {
        QTest::addColumn<QChar>("character");
        QTest::addColumn<int>("symbol");  // -1: no symbol
        QTest::newRow("A") << QChar(u'A') << int(SymbolId::A);
        QTest::newRow("lower z") << QChar(u'z') << int(SymbolId::Z);
        QTest::newRow("1") << QChar(u'1') << int(SymbolId::Num1);
        QTest::newRow("9") << QChar(u'9') << int(SymbolId::Num9);
        QTest::newRow("0") << QChar(u'0') << int(SymbolId::Num0);
        QTest::newRow("period") << QChar(u'.') << -1;
        QTest::newRow("slash") << QChar(u'/') << -1;
        QTest::newRow("space") << QChar(u' ') << -1;
        QTest::newRow("@ before A") << QChar(u'@') << -1;
        QTest::newRow("[ after Z") << QChar(u'[') << -1;
        QTest::newRow("full-width A") << QChar(u'Ａ') << -1;
        QTest::newRow("full-width 1") << QChar(u'１') << -1;
        // Letters outside A-Z whose capital is an ASCII letter: not Morse letters.
        QTest::newRow("dotless i") << QChar(u'ı') << -1;
        QTest::newRow("long s") << QChar(u'ſ') << -1;
    }
    void symbolForAlphanumeric() {
        QFETCH(QChar, character);
        QFETCH(int, symbol);
        const std::optional<SymbolId> found = SymbolForAlphanumeric(character);
        QCOMPARE(found.has_value(), symbol >= 0);
        if (found) {
            QCOMPARE(static_cast<int>(*found), symbol);
        }
    }

    void fineAdjustFactor_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<float>("factor");
        for (const Step& step : kSteps) {
            QTest::addRow("%d", step.value) << step.value << step.factor;
        }
        // Values between the steps come from dragging the scroll box.
        for (int value : {3, 1, -1, 4, -4, 6, 19, -19, 21, -21, 25, -25, 100, 32767, -32768}) {
            QTest::addRow("off-step %d", value) << value << 1.0f;
        }
    }
    void fineAdjustFactor() {
        QFETCH(int, value);
        QFETCH(float, factor);
        const float actual = FineAdjustFactor(static_cast<qint16>(value));
        QVERIFY2(SameFloat(actual, factor),
                 qPrintable(QStringLiteral("got %1").arg(double(actual), 0, 'g', 10)));
    }

    void scaledDuration_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<float>("factor");
        QTest::addColumn<int>("expected");
        // Worked examples: the unit and dash at the slow and fast ends.
        QTest::newRow("220 x 0.8") << 220 << 0.8f << 176;
        QTest::newRow("660 x 0.8") << 660 << 0.8f << 528;
        QTest::newRow("90 x 1.2") << 90 << 1.2f << 108;
        QTest::newRow("220 x 1") << 220 << 1.0f << 220;
        QTest::newRow("zero") << 0 << 1.2f << 0;
        // Products that are exactly .5 in single precision round to the even
        // neighbour. Each row fails for lround(), for a double product of the
        // float factor, or for a double factor.
        QTest::newRow("90 x 0.85 = 76.5") << 90 << 0.85f << 76;
        QTest::newRow("90 x 1.15 = 103.5") << 90 << 1.15f << 104;
        QTest::newRow("90 x 0.95 = 85.5") << 90 << 0.95f << 86;
        QTest::newRow("270 x 1.15 = 310.5") << 270 << 1.15f << 310;
        QTest::newRow("270 x 1.05 = 283.5") << 270 << 1.05f << 284;
        QTest::newRow("270 x 0.95 = 256.5") << 270 << 0.95f << 256;
        QTest::newRow("630 x 1.15 = 724.5") << 630 << 1.15f << 724;
        QTest::newRow("630 x 0.95 = 598.5") << 630 << 0.95f << 598;
        QTest::newRow("330 x 0.85 = 280.5") << 330 << 0.85f << 280;
        QTest::newRow("135 x 1.1 = 148.5") << 135 << 1.1f << 148;
        QTest::newRow("30 x 1.05 = 31.4999981") << 30 << 1.05f << 31;
        QTest::newRow("10 x 1.05 = 10.5") << 10 << 1.05f << 10;

        // Every length the generators use, at every step: single-precision
        // product rounded to the nearest, ties to even.
        const int lengths[] = {90, 120, 220, 270, 360, 660, 480, 880, 630, 840, 1540};
        for (int length : lengths) {
            for (const Step& step : kSteps) {
                const float product = static_cast<float>(length) * step.factor;
                QTest::addRow("%d at step %d", length, step.value)
                    << length << step.factor << static_cast<int>(std::nearbyint(product));
            }
        }
    }
    void scaledDuration() {
        QFETCH(int, length);
        QFETCH(float, factor);
        QFETCH(int, expected);
        QCOMPARE(ScaledDuration(length, factor), expected);
    }

    void fineAdjustCaption_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("step");
        QTest::addColumn<QString>("caption");
        for (const Step& step : kSteps) {
            QTest::addRow("%d", step.value)
                << step.value << true << QString::fromUtf8(step.caption);
        }
        for (int value : {3, 1, -1, 21, -21, 25, -25, 100, -32768}) {
            QTest::addRow("off-step %d", value) << value << false << QString();
        }
    }
    void fineAdjustCaption() {
        QFETCH(int, value);
        QFETCH(bool, step);
        QFETCH(QString, caption);
        QCOMPARE(IsFineAdjustStep(value), step);
        QCOMPARE(FineAdjustCaption(value), caption);
    }

    void unitForSpeed_data() {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("unit");
        QTest::newRow("25") << 25 << 220;
        QTest::newRow("45") << 45 << 120;
        QTest::newRow("60") << 60 << 90;
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("30") << 30 << 0;
        QTest::newRow("-25") << -25 << 0;
    }
    void unitForSpeed() {
        QFETCH(int, speed);
        QFETCH(int, unit);
        QCOMPARE(UnitForSpeed(speed), unit);
    }
};

QTEST_GUILESS_MAIN(TestMorseTiming)
#include "test_morse_timing.moc"
