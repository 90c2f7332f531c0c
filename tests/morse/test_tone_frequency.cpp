#include <QtTest>

#include "core/morse/ToneFrequency.h"

class TestToneFrequency : public QObject {
    Q_OBJECT

  private slots:
    void onlyDigitsAndBackspaceCanBeTyped() {
        // Every UTF-16 code unit: the box accepts exactly "0" to "9" and Backspace.
        QString allowed;
        for (int code = 0; code <= 0xFFFF; ++code) {
            if (IsAllowedToneCharacter(QChar(char16_t(code)))) {
                allowed += QChar(char16_t(code));
            }
        }
        QCOMPARE(allowed, QStringLiteral("\b0123456789"));
    }

    void typingThenLeavingTheBox_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("afterLeaving");
        QTest::newRow("8 a 0") << QStringLiteral("8a0") << QStringLiteral("80")
                               << QStringLiteral("100");
        QTest::newRow("full-width and signs")
            << QStringLiteral("１-2.5e3") << QStringLiteral("253") << QStringLiteral("253");
        QTest::newRow("7000") << QStringLiteral("7000") << QStringLiteral("7000")
                              << QStringLiteral("6000");
    }
    void typingThenLeavingTheBox() {
        QFETCH(QString, keys);
        QFETCH(QString, typed);
        QFETCH(QString, afterLeaving);
        QString text;
        for (QChar key : std::as_const(keys)) {
            if (IsAllowedToneCharacter(key)) {
                text += key;
            }
        }
        QCOMPARE(text, typed);
        QCOMPARE(ToneRangeChecked(text), afterLeaving);
    }

    void rangeCheck_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("checked");
        QTest::newRow("empty") << QString() << QStringLiteral("100");
        QTest::newRow("0") << QStringLiteral("0") << QStringLiteral("100");
        QTest::newRow("80") << QStringLiteral("80") << QStringLiteral("100");
        QTest::newRow("99") << QStringLiteral("99") << QStringLiteral("100");
        QTest::newRow("100 stays") << QStringLiteral("100") << QStringLiteral("100");
        QTest::newRow("101 stays") << QStringLiteral("101") << QStringLiteral("101");
        QTest::newRow("800 stays") << QStringLiteral("800") << QStringLiteral("800");
        QTest::newRow("5999 stays") << QStringLiteral("5999") << QStringLiteral("5999");
        QTest::newRow("6000 stays") << QStringLiteral("6000") << QStringLiteral("6000");
        QTest::newRow("6001") << QStringLiteral("6001") << QStringLiteral("6000");
        QTest::newRow("7000") << QStringLiteral("7000") << QStringLiteral("6000");
        QTest::newRow("32768") << QStringLiteral("32768") << QStringLiteral("6000");
        QTest::newRow("65636 (wraps to 100 in 16 bits)")
            << QStringLiteral("65636") << QStringLiteral("6000");
        QTest::newRow("4294968096 (wraps to 800 in 32 bits)")
            << QStringLiteral("4294968096") << QStringLiteral("6000");
        QTest::newRow("20 digits")
            << QStringLiteral("99999999999999999999") << QStringLiteral("6000");
        QTest::newRow("-5") << QStringLiteral("-5") << QStringLiteral("100");
        // In range: left exactly as typed, leading zeros included.
        QTest::newRow("0800 stays") << QStringLiteral("0800") << QStringLiteral("0800");
    }
    void rangeCheck() {
        QFETCH(QString, text);
        QFETCH(QString, checked);
        QCOMPARE(ToneRangeChecked(text), checked);
    }

    void frequencyForSound_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("frequency");
        QTest::newRow("800") << QStringLiteral("800") << 800;
        QTest::newRow("0800") << QStringLiteral("0800") << 800;
        QTest::newRow("100") << QStringLiteral("100") << 100;
        QTest::newRow("6000") << QStringLiteral("6000") << 6000;
        QTest::newRow("empty") << QString() << 100;
        QTest::newRow("50") << QStringLiteral("50") << 100;
        QTest::newRow("-5") << QStringLiteral("-5") << 100;
        QTest::newRow("7000") << QStringLiteral("7000") << 6000;
        QTest::newRow("65636") << QStringLiteral("65636") << 6000;
        QTest::newRow("4294968096") << QStringLiteral("4294968096") << 6000;
        QTest::newRow("99999999999") << QStringLiteral("99999999999") << 6000;
        QTest::newRow("20 digits") << QStringLiteral("99999999999999999999") << 6000;
    }
    void frequencyForSound() {
        QFETCH(QString, text);
        QFETCH(int, frequency);
        QCOMPARE(ToneFrequencyForSound(text), frequency);
    }

    void toneTextAsInt16_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("800") << QStringLiteral("800") << true << 800;
        QTest::newRow("0") << QStringLiteral("0") << true << 0;
        QTest::newRow("-5") << QStringLiteral("-5") << true << -5;
        QTest::newRow("-32768") << QStringLiteral("-32768") << true << -32768;
        QTest::newRow("32767") << QStringLiteral("32767") << true << 32767;
        QTest::newRow("32768") << QStringLiteral("32768") << false << 0;
        QTest::newRow("-32769") << QStringLiteral("-32769") << false << 0;
        QTest::newRow("65636") << QStringLiteral("65636") << false << 0;
        QTest::newRow("20 digits") << QStringLiteral("99999999999999999999") << false << 0;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("abc") << QStringLiteral("abc") << false << 0;
        QTest::newRow("1.5") << QStringLiteral("1.5") << false << 0;
        QTest::newRow("800abc") << QStringLiteral("800abc") << false << 0;
    }
    void toneTextAsInt16() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const std::optional<qint16> tone = ToneTextAsInt16(text);
        QCOMPARE(tone.has_value(), valid);
        if (tone) {
            QCOMPARE(int(*tone), value);
        }
    }
};

QTEST_GUILESS_MAIN(TestToneFrequency)
#include "test_tone_frequency.moc"
