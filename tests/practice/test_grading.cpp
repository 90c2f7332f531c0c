// Grading a Step lesson and the result window: the grade by its boundaries, the list of missed
// letters with its breaks, the picture (the user's own, the program's, none) and the tally reset
// by every way of closing.
#include <sys/stat.h>

#include <QAccessible>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <numeric>

#include "core/kit/LessonState.h"
#include "core/lesson/Grading.h"
#include "ui/lesson/CopyScoring.h"
#include "ui/lesson/ResultForm.h"

using namespace Qt::StringLiterals;

namespace {

using Tally = std::array<qint16, 36>;

Tally TallyOf(std::initializer_list<std::pair<const char16_t*, qint16>> misses) {
    Tally tally{};
    for (const auto& [character, count] : misses) {
        tally[static_cast<std::size_t>(*MissTallyIndex(QString::fromUtf16(character)))] = count;
    }
    return tally;
}

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

    // Said in words, the first few faults named and the rest summed up.
    void copySpokenInWords_data() {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("heard");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("all right") << u"AB"_s << u"ab"_s << u"2文字中2文字正解。"_s;
        QTest::newRow("each fault")
            << u"ABCK"_s << u"ADCE"_s << u"4文字中2文字正解。BをDと聞き取り、KをEと聞き取り。"_s;
        QTest::newRow("missed, extra")
            << u"AB KM"_s << u"A KMX"_s << u"4文字中3文字正解。Bを聞き逃し、Xを余分に入力。"_s;
        QTest::newRow("a gap") << u"AB"_s << u"A B"_s << u"2文字中2文字正解。空白を余分に入力。"_s;
        QTest::newRow("more than three") << u"ABCDE"_s << u"VWXYZ"_s
                                         << u"5文字中0文字正解。AをVと聞き取り、BをWと聞き取り、"
                                            u"CをXと聞き取り、ほか2か所。"_s;
    }
    void copySpokenInWords() {
        QFETCH(QString, sent);
        QFETCH(QString, heard);
        QFETCH(QString, spoken);
        QCOMPARE(CopySpokenText(AlignCopy(sent, heard)), spoken);
    }

    // The question over the copy, column under column, however long the question and wherever
    // one side has a gap: neither row wraps, and no mark is wider than a letter.
    void comparisonColumnsStandAboveEachOther_data() {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("heard");
        QTest::newRow("long, all right")
            << QString(u"PARIS "_s).repeated(40) << QString(u"paris "_s).repeated(40);
        QTest::newRow("missed and extra") << u"ABCDE KMRSU"_s << u"ACDXE KMRSUV"_s;
    }
    void comparisonColumnsStandAboveEachOther() {
        QFETCH(QString, sent);
        QFETCH(QString, heard);
        QPlainTextEdit box;
        box.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        box.resize(200, 80);
        ShowCopyComparison(&box, AlignCopy(sent, heard));
        box.show();
        const QTextBlock top = box.document()->firstBlock();
        const QTextBlock bottom = top.next();
        QCOMPARE(top.layout()->lineCount(), 1);
        QCOMPARE(bottom.layout()->lineCount(), 1);
        QCOMPARE(top.length(), bottom.length());
        for (int column = 0; column < top.length() - 1; ++column) {
            QTextCursor over(top);
            over.setPosition(top.position() + column);
            QTextCursor under(bottom);
            under.setPosition(bottom.position() + column);
            QCOMPARE(box.cursorRect(under).x(), box.cursorRect(over).x());
        }
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

    // --- the window ---

    void windowShowsCountsListAndProgramPicture() {
        QTemporaryDir noPictures;
        Tally tally = TallyOf({{u"B", 2}, {u"E", 1}, {u"T", 1}, {u"X", 3}});
        ResultForm form(u"20"_s, u"15"_s, tally, noPictures.path());
        QCOMPARE(form.windowTitle(), u"聞き取り成績"_s);
        QCOMPARE(form.SyutudaiLabel->text(), u"20"_s);
        QCOMPARE(form.SeikaiLabel->text(), u"15"_s);
        QCOMPARE(form.Label2->text(), u"問中"_s);
        QCOMPARE(form.Label4->text(), u"問正解"_s);
        QCOMPARE(form.Frame1->title(), u"不正解符号リスト"_s);
        QCOMPARE(form.CloseButton->text(), u"閉じる"_s);
        QCOMPARE(form.HuseikaiList_Buf(), u"B:2回\u3000E:1回\u3000T:1回\u3000\r\r\nX:3回\u3000"_s);
        // On screen a row ends in one line break.
        QCOMPARE(form.HuseikaiListLabel->text(),
                 u"B:2回\u3000E:1回\u3000T:1回\u3000\nX:3回\u3000"_s);
        QVERIFY(!form.windowIcon().isNull());
        QVERIFY(!form.gradePicture->pixmap().isNull());
        QCOMPARE(QAccessible::queryAccessibleInterface(form.gradePicture)->text(QAccessible::Name),
                 u"評価: まあまあ"_s);
        QVERIFY(!(form.windowFlags() & Qt::WindowMinMaxButtonsHint));
    }

    void allCorrectSaysSoWhateverTheTally() {
        QTemporaryDir dir;
        Tally tally = TallyOf({{u"Q", 3}});
        ResultForm form(u"10"_s, u"10"_s, tally, dir.path());
        QCOMPARE(form.HuseikaiListLabel->text(), u"不正解の符号なし。"_s);
    }

    void onlyDigitsMissedAreListed() {
        QTemporaryDir dir;
        Tally tally = TallyOf({{u"3", 2}});
        ResultForm form(u"5"_s, u"3"_s, tally, dir.path());
        QCOMPARE(form.HuseikaiListLabel->text(), u"3:2回\u3000"_s);
    }

    void picture_data() {
        QTest::addColumn<QByteArray>("ownFile");  // written as Good.gaz; empty: none there
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("width");  // of the picture shown; 0: not checked
        QImage own(40, 20, QImage::Format_RGB32);
        own.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        own.save(&buffer, "PNG");
        QTest::newRow("the user's own picture wins") << png << u"5"_s << true << 40;
        QTest::newRow("the program's own") << QByteArray() << u"5"_s << true << 128;
        QTest::newRow("an unreadable file: none, no message")
            << QByteArray("not a picture") << u"5"_s << false << 0;
        QTest::newRow("no grade: none") << QByteArray() << u"3"_s << false << 0;
        QTest::newRow("a FIFO: none, never waited on")
            << QByteArray("fifo") << u"5"_s << false << 0;
    }
    void picture() {
        QFETCH(QByteArray, ownFile);
        QFETCH(QString, given);
        QFETCH(bool, shown);
        QFETCH(int, width);
        QTemporaryDir dir;
        const QString own = QDir(dir.path()).filePath(u"Good.gaz"_s);
        if (ownFile == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(own).constData(), 0600), 0);
        } else if (!ownFile.isEmpty()) {
            QFile file(own);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ownFile);
        }
        Tally tally{};
        // 4 of 5 is Good; 4 of 3 has no grade.
        ResultForm form(given, u"4"_s, tally, dir.path());
        QCOMPARE(!form.windowIcon().isNull(), shown);
        QCOMPARE(!form.gradePicture->pixmap().isNull(), shown);
        if (width > 0) {
            QCOMPARE(form.gradePicture->pixmap().width(), width);
        }
    }

    void everyWayOfClosingResetsTheTally_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("close button") << u"button"_s;
        QTest::newRow("close box") << u"box"_s;
        QTest::newRow("Esc") << u"escape"_s;
    }
    void everyWayOfClosingResetsTheTally() {
        QFETCH(QString, how);
        QTemporaryDir dir;
        Tally tally = TallyOf({{u"A", 1}, {u"9", 2}});
        ResultForm form(u"5"_s, u"2"_s, tally, dir.path());
        form.show();
        if (how == u"button"_s) {
            form.CloseButton->click();
        } else if (how == u"box"_s) {
            form.close();
        } else {
            QTest::keyClick(&form, Qt::Key_Escape);
        }
        QVERIFY(!form.isVisible());
        QCOMPARE(std::accumulate(tally.begin(), tally.end(), 0), 0);
        QVERIFY(form.HuseikaiList_Buf().isEmpty());
        QCOMPARE(int(form.Cr_Counter()), 0);
    }
};

QTEST_MAIN(GradingTest)
#include "test_grading.moc"
