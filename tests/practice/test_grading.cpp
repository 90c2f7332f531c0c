// Grading a Step lesson: the grade by its boundaries, an answer judged and its miss tallied,
// the list of missed letters with its breaks and the score line.
#include <QTest>
#include <numeric>

#include "core/kit/LessonState.h"
#include "core/lesson/Grading.h"
#include "support/TallyOf.h"

using namespace Qt::StringLiterals;

namespace {

using Tally = std::array<qint16, 36>;

// The grade by the integer rules the floating-point table amounts to for 16-bit counts.
Grade IntegerGrade(int given, int correct) {
    if (given <= 0 || correct > given || correct < 0) {
        return Grade::None;
    }
    if (correct == given) {
        return Grade::Perfect;
    }
    if (5 * correct >= 4 * given) {
        return Grade::Good;
    }
    return 2 * correct >= given ? Grade::Soso : Grade::Bad;
}

}  // namespace

class GradingTest : public QObject {
    Q_OBJECT

  private slots:
    void gradeBoundaries_data() {
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("correct");
        QTest::addColumn<QString>("picture");
        QTest::newRow("10 of 10") << 10 << 10 << u"Perfect.gaz"_s;
        QTest::newRow("4 of 5 is exactly 80 %") << 5 << 4 << u"Good.gaz"_s;
        QTest::newRow("1 of 2 is exactly 50 %") << 2 << 1 << u"Soso.gaz"_s;
        QTest::newRow("7 of 9") << 9 << 7 << u"Soso.gaz"_s;
        QTest::newRow("0 of 3") << 3 << 0 << u"Bad.gaz"_s;
        QTest::newRow("more correct than asked") << 3 << 4 << QString();
        QTest::newRow("nothing asked") << 0 << 2 << QString();
    }
    void gradeBoundaries() {
        QFETCH(int, given);
        QFETCH(int, correct);
        QFETCH(QString, picture);
        QCOMPARE(GradePictureName(GradeFor(qint16(given), qint16(correct))), picture);
    }

    // Single precision and the integer rules agree for every count a lesson can realistically
    // reach, and near the top of the 16-bit range.
    void floatRulesEqualTheIntegerRules() {
        for (int given = 0; given <= 400; ++given) {
            for (int correct = 0; correct <= given + 1; ++correct) {
                QCOMPARE(GradeFor(qint16(given), qint16(correct)), IntegerGrade(given, correct));
            }
        }
        for (int given : {32000, 32766, 32767}) {
            for (int correct : {given * 4 / 5, given * 4 / 5 + 1, given / 2, given / 2 + 1}) {
                QCOMPARE(GradeFor(qint16(given), qint16(correct)), IntegerGrade(given, correct));
            }
        }
    }

    void missTallyKeysAreLettersAndDigits_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<int>("index");
        QTest::newRow("A") << u"A"_s << 0;
        QTest::newRow("Z") << u"Z"_s << 25;
        QTest::newRow("1") << u"1"_s << 26;
        QTest::newRow("0 last") << u"0"_s << 35;
        QTest::newRow("lower case") << u"a"_s << -1;
        QTest::newRow("AR") << u"[AR]"_s << -1;
        QTest::newRow("empty") << QString() << -1;
    }
    void missTallyKeysAreLettersAndDigits() {
        QFETCH(QString, character);
        QFETCH(int, index);
        QCOMPARE(MissTallyIndex(character).value_or(-1), index);
        Tally tally{};
        RecordMiss(tally, character);
        RecordMiss(tally, character);
        QCOMPARE(std::accumulate(tally.begin(), tally.end(), 0), index < 0 ? 0 : 2);
    }

    // An answer is right only when it is the token sounded last (a prosign is answered by
    // nothing a key gives); a miss is tallied under the character heard, and the correct count
    // stops at its 16-bit limit.
    void judgingAnAnswer_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("token");
        QTest::addColumn<qint16>("correctBefore");
        QTest::addColumn<bool>("right");
        QTest::addColumn<qint16>("correctAfter");
        QTest::newRow("right") << u"K"_s << u"K"_s << qint16(3) << true << qint16(4);
        QTest::newRow("wrong") << u"R"_s << u"K"_s << qint16(3) << false << qint16(3);
        QTest::newRow("pass") << u"PASS"_s << u"K"_s << qint16(0) << false << qint16(0);
        QTest::newRow("prosign") << u"A"_s << u"[AR]"_s << qint16(0) << false << qint16(0);
        QTest::newRow("at the limit") << u"K"_s << u"K"_s << qint16(32767) << true << qint16(32767);
    }
    void judgingAnAnswer() {
        QFETCH(QString, answer);
        QFETCH(QString, token);
        QFETCH(qint16, correctBefore);
        QFETCH(bool, right);
        QFETCH(qint16, correctAfter);
        LessonState lesson;
        lesson.correctCount = correctBefore;
        const Judgement judged = JudgeAnswer(lesson, answer, token, u"K"_s);
        QCOMPARE(judged == Judgement::Correct, right);
        QCOMPARE(lesson.correctCount, correctAfter);
        QCOMPARE(int(lesson.missTally[10]), right ? 0 : 1);
        QCOMPARE(lesson.currentAnswer, answer);
        // What was heard for the K: the answer, or nothing for a pass.
        const QChar heard = answer.size() == 1 ? answer.front() : QChar();
        QVERIFY((lesson.confusions == ConfusionCounts{{{u'K', heard}, 1}}));
    }

    void missListBreaksAfterEveryThirdEntry_data() {
        QTest::addColumn<Tally>("tally");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("entries");
        QTest::newRow("the example")
            << TallyOf({{u"B", 2}, {u"E", 1}, {u"T", 1}, {u"X", 3}})
            << u"B:2回\u3000E:1回\u3000T:1回\u3000\r\r\nX:3回\u3000"_s << 4;
        QTest::newRow("three: one row ending in a break")
            << TallyOf({{u"A", 1}, {u"B", 1}, {u"C", 12}})
            << u"A:1回\u3000B:1回\u3000C:12回\u3000\r\r\n"_s << 3;
        QTest::newRow("digits after the letters, 0 last")
            << TallyOf({{u"0", 1}, {u"5", 4}, {u"Z", 2}})
            << u"Z:2回\u30005:4回\u30000:1回\u3000\r\r\n"_s << 3;
        Tally all{};
        all.fill(1);
        QString every;
        for (int i = 0; i < 36; ++i) {
            every += u"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890"_s[i] + u":1回\u3000"_s;
            if ((i + 1) % 3 == 0 && i + 1 < 36) {
                every += u"\r\r\n"_s;
            }
        }
        QTest::newRow("all 36: no break after the last") << all << every << 36;
    }
    void missListBreaksAfterEveryThirdEntry() {
        QFETCH(Tally, tally);
        QFETCH(QString, list);
        QFETCH(int, entries);
        QString built;
        qint16 counter = 0;
        AppendMissList(tally, built, counter);
        QCOMPARE(built, list);
        QCOMPARE(int(counter), entries);
    }

    void scoreLine() { QCOMPARE(ScoreLine(u"12"_s, u"9"_s), u"ステップ:12問中9問正解"_s); }
};

QTEST_MAIN(GradingTest)
#include "test_grading.moc"
