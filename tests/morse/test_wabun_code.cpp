#include <QtTest>
#include <set>

#include "core/morse/WabunCode.h"

namespace {

// The published code (the radio station operation regulations' table of Morse signs), written out
// by hand in 五十音 order, so that a slip in the program's table shows.
constexpr const char* kPublishedChart =
    "ア --.-- イ .- ウ ..- エ -.--- オ .-... "
    "カ .-.. キ -.-.. ク ...- ケ -.-- コ ---- "
    "サ -.-.- シ --.-. ス ---.- セ .---. ソ ---. "
    "タ -. チ ..-. ツ .--. テ .-.-- ト ..-.. "
    "ナ .-. ニ -.-. ヌ .... ネ --.- ノ ..-- "
    "ハ -... ヒ --..- フ --.. ヘ . ホ -.. "
    "マ -..- ミ ..-.- ム - メ -...- モ -..-. "
    "ヤ .-- ユ -..-- ヨ -- "
    "ラ ... リ --. ル -.--. レ --- ロ .-.- "
    "ワ -.- ヰ .-..- ヱ .--.. ヲ .--- ン .-.-. "
    "゛ .. ゜ ..--. ー .--.- 、 .-.-.- 。 .-.-.. ( -.--.- ) .-..-.";

}  // namespace

class TestWabunCode : public QObject {
    Q_OBJECT
  private slots:
    // Every published sign has its pattern, the table holds nothing else, and no two signs share
    // a pattern (a receiver could not tell them apart).
    void tableIsThePublishedCode() {
        const QStringList chart = QString::fromUtf8(kPublishedChart).split(u' ');
        for (qsizetype i = 0; i < chart.size(); i += 2) {
            QCOMPARE(chart[i].size(), 1);
            QCOMPARE(WabunPatternFor(chart[i].front()), chart[i + 1]);
        }
        QCOMPARE(qsizetype(WabunTable().size()), chart.size() / 2);
        std::set<std::string> patterns;
        for (const WabunSign& sign : WabunTable()) {
            QVERIFY2(patterns.insert(sign.pattern).second, sign.pattern);
        }
        QCOMPARE(QString::fromLatin1(kWabunOpenPattern), QStringLiteral("-..---"));  // D O
        QCOMPARE(QString::fromLatin1(kWabunClosePattern), QStringLiteral("...-."));  // S N
    }

    void textIsSentAsTheCodesSigns_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("signs");
        QTest::newRow("voiced and semi-voiced kana: the kana, then its mark")
            << QStringLiteral("ガジヅベヴパピ") << QStringLiteral("カ゛シ゛ツ゛ヘ゛ウ゛ハ゜ヒ゜");
        QTest::newRow("hiragana") << QStringLiteral("ありがとう") << QStringLiteral("アリカ゛トウ");
        QTest::newRow("half-width, as code page 932 carries it")
            << QStringLiteral("ｶﾞｰﾄﾞ､ﾊﾟ") << QStringLiteral("カ゛ート゛、ハ゜");
        QTest::newRow("small kana sent full-size")
            << QStringLiteral("キャッシュ") << QStringLiteral("キヤツシユ");
        QTest::newRow("marks on their own") << QStringLiteral("゛゜") << QStringLiteral("゛゜");
        QTest::newRow("full-width brackets") << QStringLiteral("（ア）") << QStringLiteral("(ア)");
        QTest::newRow("other text kept")
            << QStringLiteral("CQ 73 ア 漢") << QStringLiteral("CQ 73 ア 漢");
    }
    void textIsSentAsTheCodesSigns() {
        QFETCH(QString, text);
        QFETCH(QString, signs);
        QCOMPARE(WabunSigns(text), signs);
    }
};

QTEST_GUILESS_MAIN(TestWabunCode)
#include "test_wabun_code.moc"
