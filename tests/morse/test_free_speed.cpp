// A speed of its own: the gap formula, its figures as text, the signs of contacts and the
// presets kept beside the settings.
#include <QTemporaryDir>
#include <QtTest>

#include "common/ProgramSettings.h"
#include "morse/ContactSigns.h"
#include "morse/FreeSpeedDialog.h"
#include "morse/SpeedPresets.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FreeSpeed)

class TestFreeSpeed : public QObject {
    Q_OBJECT

  private slots:
    void gaps_data() {
        QTest::addColumn<FreeSpeed>("speed");
        // Unit, character gap and word gap in ms; the figure a minute and the nearest fixed speed.
        QTest::addColumn<QList<double>>("expected");
        const auto row = [](const char* name, FreeSpeed speed, QList<double> expected) {
            QTest::newRow(name) << speed << expected;
        };
        row("20 plain", {20, 0, 0}, {60, 180, 420, 91, 60});
        row("13 plain", {13, 0, 0}, {92.3077, 276.923, 646.154, 59, 60});
        row("5 plain", {5, 0, 0}, {240, 720, 1680, 23, 25});
        row("effective = character", {20, 20, 0}, {60, 180, 420, 91, 60});
        row("effective above character", {10, 15, 0}, {120, 360, 840, 45, 45});
        row("25/4", {25, 4, 0}, {48, 2133.474, 4978.105, 114, 60});
        row("18/10", {18, 10, 0}, {66.6667, 621.053, 1449.123, 82, 60});
        row("20/5", {20, 5, 0}, {60, 1601.053, 3735.789, 91, 60});
        row("extra word space", {20, 0, 3}, {60, 180, 600, 91, 60});
        row("25/4 and extra", {25, 4, 2}, {48, 2133.474, 5074.105, 114, 60});
    }
    void gaps() {
        QFETCH(FreeSpeed, speed);
        QFETCH(QList<double>, expected);
        const FreeSpeedTimes times = TimesFor(speed);
        const QList<double> got{times.unitMs, times.characterGapMs, times.wordGapMs};
        for (qsizetype i = 0; i < got.size(); ++i) {
            QVERIFY(qAbs(got[i] - expected[i]) < 0.001);
        }
        QCOMPARE(CharactersPerMinuteFor(speed.characterWpm), int(expected[3]));
        QCOMPARE(NearestFixedSpeed(speed), int(expected[4]));
        // The same figures come back from their text.
        QCOMPARE(ParseFreeSpeedFigures(FreeSpeedFigures(speed)), std::optional(speed));
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

    void dialogPicksSavesAndDeletesPresets() {
        QTemporaryDir dir;
        ProgramSettings store(dir.filePath(u"quillstart.ini"_s));
        FreeSpeedDialog dialog(store);
        dialog.pickPreset(0);
        QCOMPARE(dialog.speed(), ShippedPresets().at(0).speed);
        QVERIFY(!dialog.savePreset(u"  "_s));
        dialog.setSpeed(FreeSpeed{22.5, 0, 2}, u"650"_s);
        QVERIFY(dialog.savePreset(u"mine"_s));
        QVERIFY(dialog.savePreset(u"mine"_s));  // the same name replaces it
        QVERIFY(dialog.deletePreset(0));
        QList<SpeedPreset> kept = ShippedPresets().mid(1);
        kept.append({u"mine"_s, FreeSpeed{22.5, 0, 2}, u"650"_s});
        QCOMPARE(LoadSpeedPresets(store), kept);
    }
};

QTEST_MAIN(TestFreeSpeed)
#include "test_free_speed.moc"
