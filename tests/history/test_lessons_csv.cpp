// The CSV export of the lesson history: the whole file byte for byte, the quoting of fields,
// the guard against formulas in every text, and how each lesson's figures are written.
#include <QTest>
#include <initializer_list>
#include <utility>

#include "core/history/LessonsCsv.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");
const QString kHeader =
    u"日時,相手,受信モード,速度(毎分文字数),微調整,音,文字数,正解数,正解率(%),採点,ミス,聞き違い,"
    u"条件,"
    u"シード\r\n"_s;

LessonRecord Step(QDateTime at, const QString& peer, int played, std::optional<int> correct,
                  std::initializer_list<std::pair<QChar, int>> misses = {}) {
    LessonRecord lesson;
    lesson.finishedAt = std::move(at);
    lesson.peer = peer;
    lesson.mode = LessonRecord::Mode::Step;
    lesson.sound = u"beep"_s;
    lesson.played = played;
    lesson.correct = correct;
    for (const auto& [character, count] : misses) {
        lesson.misses[static_cast<std::size_t>(kMissOrder.indexOf(character))] = count;
    }
    return lesson;
}

QDateTime Utc(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

// The one data row of a file with a single lesson.
QString OnlyRow(const LessonRecord& lesson) {
    const QByteArray csv = LessonsCsv({lesson});
    return QString::fromUtf8(csv.mid(kBom.size())).mid(kHeader.size());
}

}  // namespace

class LessonsCsvTest : public QObject {
    Q_OBJECT

  private slots:
    // Local time is Japan's (no summer time, no time zone files needed), so that the dates
    // show that the file is written in local time.
    void initTestCase() { qputenv("TZ", "JST-9"); }

    void wholeFileByteForByte() {
        LessonRecord first =
            Step(Utc(2026, 12, 1, 3, 4, 5), u"JA1ABC"_s, 20, 17, {{u'A', 2}, {u'K', 1}});
        LessonRecord normal;
        normal.finishedAt = Utc(2026, 12, 2, 10, 0);
        normal.peer = u"=HYPERLINK(\"http://x\")"_s;
        normal.mode = LessonRecord::Mode::Normal;
        normal.speed = 45;
        normal.fineAdjust = -2;
        normal.sound = u"wav"_s;
        normal.played = 30;
        normal.confusions = {{{u'A', u'A'}, 5}, {{u'K', QChar()}, 1}, {{u'B', u'D'}, 2}};
        LessonRecord last = Step(Utc(2026, 12, 31, 15, 30), u"Doe, John"_s, 7, 2,
                                 {{u'0', 5}, {u'1', 1}, {u'Z', 1}});
        last.speed = 60;
        last.fineAdjust = 3;
        last.sound = u"none"_s;
        last.confusions = {{{u'=', u'E'}, 1}};  // the question is the peer's text
        last.band = u"=1+2"_s;                  // as a file changed by hand may hold it
        last.bandSeed = 42;

        const QByteArray expected =
            kBom +
            (kHeader +
             u"2026-12-01 12:04:05,JA1ABC,ステップ,25,0,ビープ,20,17,85.0,解答,A:2 K:1,,なし,\r\n"
             // The copy: 5 of its 8 characters sent heard right.
             u"2026-12-02 19:00:00,\"'=HYPERLINK(\"\"http://x\"\")\",ノーマル,45,-2,WAV,30,5,62.5,"
             u"受信メモ,,B→D:2 K→なし:1,なし,\r\n"
             u"2027-01-01 00:30:00,\"Doe, John\",ステップ,60,+3,なし,7,2,28.6,解答,Z:1 1:1 "
             u"0:5,'=→E:1,"
             u"'=1+2,42\r\n"_s)
                .toUtf8();
        QCOMPARE(LessonsCsv({first, normal, last}), expected);
    }

    void emptyHistoryIsTheHeaderAlone() { QCOMPARE(LessonsCsv({}), kBom + kHeader.toUtf8()); }

    void peerField_data() {
        QTest::addColumn<QString>("peer");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << u"JA1ABC"_s << u"JA1ABC"_s;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("Japanese") << u"山田"_s << u"山田"_s;
        QTest::newRow("minus inside is no formula") << u"JA1-ABC"_s << u"JA1-ABC"_s;
        QTest::newRow("comma") << u"a,b"_s << u"\"a,b\""_s;
        QTest::newRow("quote doubled") << u"a\"b\""_s << u"\"a\"\"b\"\"\""_s;
        QTest::newRow("line feed") << u"a\nb"_s << u"\"a\nb\""_s;
        QTest::newRow("carriage return") << u"a\rb"_s << u"\"a\rb\""_s;
        QTest::newRow("equals") << u"=1+1"_s << u"'=1+1"_s;
        QTest::newRow("plus") << u"+81"_s << u"'+81"_s;
        QTest::newRow("minus") << u"-5"_s << u"'-5"_s;
        QTest::newRow("at") << u"@SUM(A1)"_s << u"'@SUM(A1)"_s;
        QTest::newRow("tab") << u"\tX"_s << u"'\tX"_s;
        QTest::newRow("leading CR: guarded and quoted") << u"\rX"_s << u"\"'\rX\""_s;
        QTest::newRow("formula with comma: guarded, then quoted")
            << u"=A1,B1"_s << u"\"'=A1,B1\""_s;
    }
    void peerField() {
        QFETCH(QString, peer);
        QFETCH(QString, field);
        const LessonRecord lesson = Step(Utc(2026, 12, 1, 3, 4, 5), peer, 20, 17);
        QCOMPARE(OnlyRow(lesson), u"2026-12-01 12:04:05,"_s + field +
                                      u",ステップ,25,0,ビープ,20,17,85.0,解答,,,なし,\r\n"_s);
    }

    // Every text is guarded, however it came into the file; the program's figures stay numbers.
    void textsAreGuardedNumbersNot() {
        LessonRecord lesson = Step(Utc(2026, 12, 1, 3, 4, 5), u"JA1ABC"_s, 20, 17);
        lesson.fineAdjust = -7;
        lesson.sound = u"=1+2"_s;
        QVERIFY(OnlyRow(lesson).contains(u",25,-7,'=1+2,20,17,"_s));
    }

    void judgedFigures_data() {
        QTest::addColumn<bool>("step");
        QTest::addColumn<int>("played");
        QTest::addColumn<int>("correct");  // -1: none recorded
        QTest::addColumn<bool>("copied");  // a copy: 3 of 4 characters sent heard right
        QTest::addColumn<QString>("figures");
        QTest::newRow("all correct") << true << 8 << 8 << false << u"8,8,100.0,解答"_s;
        QTest::newRow("none correct") << true << 8 << 0 << false << u"8,0,0.0,解答"_s;
        QTest::newRow("rounded to one decimal") << true << 3 << 2 << false << u"3,2,66.7,解答"_s;
        QTest::newRow("nothing played: no accuracy") << true << 0 << 0 << false << u"0,0,,解答"_s;
        QTest::newRow("Step without a count") << true << 5 << -1 << false << u"5,,,"_s;
        QTest::newRow("Normal: nothing copied") << false << 12 << -1 << false << u"12,,,"_s;
        QTest::newRow("Normal with a stray count") << false << 12 << 9 << false << u"12,,,"_s;
        QTest::newRow("Normal: its copy score")
            << false << 12 << -1 << true << u"12,3,75.0,受信メモ"_s;
    }
    void judgedFigures() {
        QFETCH(bool, step);
        QFETCH(int, played);
        QFETCH(int, correct);
        QFETCH(bool, copied);
        QFETCH(QString, figures);
        LessonRecord lesson = Step(Utc(2026, 12, 1, 3, 4, 5), u"P"_s, played,
                                   correct < 0 ? std::nullopt : std::optional<int>(correct));
        lesson.mode = step ? LessonRecord::Mode::Step : LessonRecord::Mode::Normal;
        if (copied) {
            lesson.confusions = {{{u'A', u'A'}, 3}, {{u'B', QChar()}, 1}, {{QChar(), u'E'}, 2}};
        }
        const QString mode = step ? u"ステップ"_s : u"ノーマル"_s;
        QVERIFY(OnlyRow(lesson).startsWith(u"2026-12-01 12:04:05,P,"_s + mode + u",25,0,ビープ,"_s +
                                           figures + u","_s));
    }

    void missesInTheAnswerButtonsOrder() {
        const LessonRecord lesson =
            Step(Utc(2026, 12, 1, 3, 4, 5), u"P"_s, 20, 10,
                 {{u'0', 1}, {u'9', 2}, {u'1', 3}, {u'Z', 4}, {u'Q', 10}, {u'A', 1}});
        QVERIFY(OnlyRow(lesson).endsWith(u",A:1 Q:10 Z:4 1:3 9:2 0:1,,なし,\r\n"_s));
    }

    void soundInWords_data() {
        QTest::addColumn<QString>("sound");
        QTest::addColumn<QString>("shown");
        QTest::newRow("beep") << u"beep"_s << u"ビープ"_s;
        QTest::newRow("wav") << u"wav"_s << u"WAV"_s;
        QTest::newRow("none") << u"none"_s << u"なし"_s;
        QTest::newRow("unknown: as stored") << u"midi"_s << u"midi"_s;
        QTest::newRow("unknown with a comma: quoted") << u"a,b"_s << u"\"a,b\""_s;
    }
    void soundInWords() {
        QFETCH(QString, sound);
        QFETCH(QString, shown);
        LessonRecord lesson = Step(Utc(2026, 12, 1, 3, 4, 5), u"P"_s, 20, 17);
        lesson.sound = sound;
        QVERIFY(OnlyRow(lesson).contains(u",25,0,"_s + shown + u",20,17,"_s));
    }

    // Every record ends with CR LF, and a line feed appears only inside a quoted field.
    void crlfLineEnds() {
        const QByteArray csv = LessonsCsv({Step(Utc(2026, 12, 1, 3, 4, 5), u"A"_s, 1, 1),
                                           Step(Utc(2026, 12, 1, 3, 4, 6), u"B"_s, 1, 1)});
        QCOMPARE(csv.count("\r\n"), 3);
        QCOMPARE(csv.count('\n'), 3);
        QVERIFY(csv.endsWith("\r\n"));
        QVERIFY(!csv.mid(kBom.size()).startsWith(kBom));
    }
};

QTEST_GUILESS_MAIN(LessonsCsvTest)
#include "test_lessons_csv.moc"
