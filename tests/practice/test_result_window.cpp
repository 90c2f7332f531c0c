// The result window and the copy's words: the counts, the missed letters and the picture (the
// user's own, the program's, none), the tally reset by every way of closing, and the copy said
// in words and shown in two aligned rows.
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

#include "core/lesson/Grading.h"
#include "support/TallyOf.h"
#include "ui/lesson/CopyScoring.h"
#include "ui/lesson/ResultForm.h"

using namespace Qt::StringLiterals;

using Tally = std::array<qint16, 36>;

class ResultWindowTest : public QObject {
    Q_OBJECT

  private slots:
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

QTEST_MAIN(ResultWindowTest)
#include "test_result_window.moc"
