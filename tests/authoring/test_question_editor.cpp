// The setter's question editor: the two input methods, the 37 key buttons, finishing, resuming
// and sending, and question files in either encoding, including the ones it must refuse.
#include <sys/stat.h>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "core/kit/LinkState.h"
#include "core/lesson/QuestionFile.h"
#include "support/LinkedPair.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/authoring/QuestionForm.h"

using namespace Qt::StringLiterals;

namespace {

struct Rig {
    TestContext context;
    MainForm form{context.context()};
    QuestionForm& editor = form.exchangeWindows().questionForm();
    QTemporaryDir files;

    Rig() {
        editor.Form_Load();
        editor.show();
    }
    QPushButton* key(QChar character) {
        const QString name = character == u' '     ? u"SpaceButton"_s
                             : character.isDigit() ? u"Num"_s + character + u"_Button"_s
                                                   : u"Letter"_s + character + u"_Button"_s;
        return editor.findChild<QPushButton*>(name);
    }
    void type(const QString& keys) {
        for (const QChar character : keys) {
            key(character)->click();
        }
    }
    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(files.path()).filePath(name);
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return path;
    }
    // Chooses the file option with this file picked in the dialog (empty: cancelled).
    void chooseFile(const QString& path) {
        context.desktop.fileToOpen = path;
        editor.TextFileOption->click();
    }
    QString box() { return editor.QuestionText->toPlainText(); }
};

}  // namespace

class QuestionEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void opensAsDesigned() {
        Rig r;
        QCOMPARE(r.editor.windowTitle(), u"問題作成ウィンドウ"_s);
        QCOMPARE(r.editor.Frame1->title(), u"出題方法を選択して下さい。"_s);
        QVERIFY(!r.editor.KeyboardOption->isChecked());
        QVERIFY(!r.editor.TextFileOption->isChecked());
        QVERIFY(r.editor.TextBoxLabel->text().isEmpty());
        for (QPushButton* key : r.editor.keyButtons) {
            QVERIFY(key->isEnabled());
        }
        QCOMPARE(r.key(u' ')->text(), u"スペース"_s);
        QVERIFY(!r.editor.QuestionCompleteButton->isEnabled());
        QVERIFY(!r.editor.SendQuestionButton->isEnabled());
        QVERIFY(!r.editor.QuestionResumeButton->isEnabled());
        QVERIFY(!(r.editor.windowFlags() & Qt::WindowMinMaxButtonsHint));
    }

    void keysBeforeChoosingAMethod() {
        Rig r;
        r.type(u"CQ 5"_s);
        QCOMPARE(r.box(), u"CQ 5"_s);
        QVERIFY(r.editor.QuestionCompleteButton->isEnabled());
    }

    void typedTextKeepsItsCase() {
        Rig r;
        r.editor.KeyboardOption->click();
        QCOMPARE(r.editor.TextBoxLabel->text(),
                 u"テキストボックスに問題を直接入力するか、下のキーボタンで問題を作成して下さい。"
                 u"HR HR [BT],[AR]は記入不要（自動付加）です。"_s);
        QTest::keyClicks(r.editor.QuestionText, u"abc"_s);
        r.key(u'D')->click();
        QCOMPARE(r.box(), u"abcD"_s);
        QCOMPARE(r.editor.QuestionBuf(), u"abcD"_s);
    }

    void completeDecoratesAndSendsTheBareText() {
        Rig r;
        r.form.link().teacherStatus = LinkStatus::Composing;
        r.type(u"CQ DE"_s);
        r.editor.QuestionCompleteButton->click();
        QCOMPARE(r.box(), u"HR HR [BT]CQ DE[AR]"_s);
        QCOMPARE(r.editor.QuestionResumeBuf(), u"CQ DE"_s);
        QCOMPARE(r.editor.QuestionBuf(), u"HR HR [BT]CQ DE[AR]"_s);
        QCOMPARE(r.editor.TextBoxLabel->text(), u"作成した問題を解答者に送信して下さい。"_s);
        QVERIFY(!r.editor.QuestionCompleteButton->isEnabled());
        QVERIFY(r.editor.SendQuestionButton->isEnabled());
        QVERIFY(r.editor.QuestionResumeButton->isEnabled());

        // A key after finishing appends behind [AR]; the send still takes the bare text.
        r.key(u'K')->click();
        QCOMPARE(r.box(), u"HR HR [BT]CQ DE[AR]K"_s);
        QVERIFY(r.editor.QuestionCompleteButton->isEnabled());
        QVERIFY(r.editor.SendQuestionButton->isEnabled());

        const WindowStep ok =
            PressAt(r.context.clock, 300, u"SendQuestionCompleteForm"_s, u"OKButton"_s);
        r.editor.SendQuestionButton->click();
        QVERIFY(ok.ran());
        QVERIFY(r.context.desktop.questions.isEmpty());  // nothing that will not sound
        QCOMPARE(Text(r.form.link().teacherStatus), u"問題送信済"_s);
        QVERIFY(!r.editor.isVisible());  // OK closes the editor with the notice
        QVERIFY(r.editor.QuestionBuf().isEmpty());
        QVERIFY(r.editor.QuestionResumeBuf().isEmpty());
    }

    void resumeBringsBackTheBareText() {
        Rig r;
        r.type(u"CQ DE"_s);
        r.editor.QuestionCompleteButton->click();
        r.editor.QuestionResumeButton->click();
        QCOMPARE(r.box(), u"CQ DE"_s);
        QCOMPARE(r.editor.QuestionBuf(), u"CQ DE"_s);
        QCOMPARE(r.editor.TextBoxLabel->text(),
                 u"問題作成が終わりましたら、「作成完了」ボタンを押して下さい。"_s);
        QVERIFY(r.editor.QuestionCompleteButton->isEnabled());
        QVERIFY(!r.editor.SendQuestionButton->isEnabled());
        QVERIFY(!r.editor.QuestionResumeButton->isEnabled());
    }

    // A box emptied by hand empties the question: a key does not bring the old text back.
    void emptiedBoxEmptiesTheBuffer() {
        Rig r;
        r.type(u"AB"_s);
        r.editor.QuestionText->clear();
        QVERIFY(!r.editor.QuestionCompleteButton->isEnabled());
        r.key(u'C')->click();
        QCOMPARE(r.box(), u"C"_s);
    }

    // Escape asks before a written question is thrown away; given up, the setter may set again
    // and the answerer hears that the setting was given up.
    void closingWithoutSending() {
        LinkedPair p;
        p.connectWithRoles();
        const WhenShown compose(p.clock(), u"QuestionForm"_s, [&](QWidget* editor) {
            static_cast<QuestionForm*>(editor)->QuestionText->setPlainText(u"CQ"_s);
            for (const bool agree : {false, true}) {
                p.aContext.desktop.confirmAnswer = agree;
                QTest::keyClick(editor, Qt::Key_Escape);
                QCOMPARE(editor->isVisible(), !agree);
            }
        });
        p.a.ui().StartButton_Command->click();  // 出題
        QVERIFY(compose.ran());
        QCOMPARE(p.aContext.desktop.questions.size(), 2);
        p.wait(300);
        QCOMPARE(p.a.ui().TeacherLabel->text(), u"出題者:JA1AAA[出題中止]"_s);
        QVERIFY(p.a.ui().StartButton_Command->isEnabled());
        QCOMPARE(p.b.ui().TeacherLabel->text(), u"出題者:JA1AAA[出題中止]"_s);
    }

    // Characters that will not sound are named before the question goes; the setter may go back.
    void silentCharactersNamedBeforeSending() {
        Rig r;
        r.editor.QuestionText->setPlainText(u"あ\tB\nあ、"_s);
        r.editor.QuestionCompleteButton->click();
        r.context.desktop.confirmAnswer = false;
        r.editor.SendQuestionButton->click();  // gone back
        QVERIFY(r.editor.SendQuestionButton->isEnabled());
        QVERIFY(r.context.desktop.questions.value(0).text.contains(
            u"\n「あ」\u3000タブ\u3000改行\u3000「、」\n"_s));
        r.context.desktop.confirmAnswer = true;
        PressAt(r.context.clock, 300, u"SendQuestionCompleteForm"_s, u"OKButton"_s);
        r.editor.SendQuestionButton->click();  // sent anyway
        QVERIFY(!r.editor.isVisible());
    }

    // From the keyboard alone: Tab leaves the question box for the actions, each action has an
    // access key beside its caption, and the instruction line is read as it reads on screen.
    void keyboardAndScreenReader() {
        Rig r;
        QuestionForm& e = r.editor;
        e.KeyboardOption->click();
        r.type(u"CQ"_s);
        e.QuestionCompleteButton->click();
        r.type(u"K"_s);
        QCOMPARE(TabOrder(e.KeyboardOption, 5).join(u' '),
                 u"KeyboardOption QuestionText QuestionCompleteButton SendQuestionButton "
                 u"QuestionResumeButton LetterA_Button"_s);
        for (QPushButton* action :
             {e.QuestionCompleteButton, e.SendQuestionButton, e.QuestionResumeButton}) {
            QTest::keySequence(&e, action->shortcut());  // pressed now, clicked a moment later
            QVERIFY(!action->shortcut().isEmpty() && action->isDown());
        }
        for (QPushButton* step : {e.QuestionResumeButton, e.QuestionCompleteButton}) {
            step->click();
            QCOMPARE(QAccessible::queryAccessibleInterface(e.TextBoxLabel)->text(QAccessible::Name),
                     e.TextBoxLabel->text());
        }
    }

    void closingEmptiesTheBuffersButKeepsTheFile() {
        Rig r;
        const QString path = r.file(u"q.txt"_s, "CQ\r\n");
        r.chooseFile(path);
        r.editor.QuestionCompleteButton->click();
        r.editor.close();
        QCOMPARE(r.context.desktop.questions.size(), 1);  // the setter agreed to discard it
        QVERIFY(r.editor.QuestionBuf().isEmpty());
        QVERIFY(r.editor.QuestionResumeBuf().isEmpty());
        QCOMPARE(r.editor.QuestionFilePath(), path);
        r.editor.Form_Load();  // opened again: as designed
        QVERIFY(r.box().isEmpty());
        QVERIFY(!r.editor.TextFileOption->isChecked());
    }

    void files_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("question");
        QTest::newRow("two lines, no final break")
            << QByteArray("ABC\r\nDEF") << u"ABC\r\nDEF\r\n"_s;
        QTest::newRow("unix lines") << QByteArray("ABC\nDEF\n") << u"ABC\r\nDEF\r\n"_s;
        QTest::newRow("empty line kept") << QByteArray("A\n\nB") << u"A\r\n\r\nB\r\n"_s;
        QTest::newRow("UTF-8 Japanese with BOM")
            << QByteArray("\xEF\xBB\xBF\xE3\x81\x93\xE3\x82\x93 CQ") << u"こん CQ\r\n"_s;
        // こんにちは～ as a Japanese Windows PC writes it, the wave dash 0x8160
        QTest::newRow("code page 932 Japanese")
            << QByteArray("\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\x81\x60")
            << u"こんにちは～\r\n"_s;
    }
    void files() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, question);
        Rig r;
        r.chooseFile(r.file(u"question.txt"_s, bytes));
        QCOMPARE(r.editor.QuestionBuf(), question);
        QCOMPARE(r.editor.TextBoxLabel->text(), u"読み込んだファイル：question.txt"_s);
        for (QPushButton* key : r.editor.keyButtons) {
            QVERIFY(!key->isEnabled());
        }
        QVERIFY(r.context.desktop.messages.isEmpty());
        r.editor.QuestionCompleteButton->click();
        QCOMPARE(r.editor.QuestionResumeBuf(), question);  // sent with its CR LFs
    }

    void emptyFileLeavesTheBoxEmpty() {
        Rig r;
        r.chooseFile(r.file(u"empty.txt"_s, {}));
        QVERIFY(r.box().isEmpty());
        QVERIFY(!r.editor.QuestionCompleteButton->isEnabled());
    }

    void cancelledDialogReturnsToTheKeys() {
        Rig r;
        r.type(u"AB"_s);
        r.chooseFile(QString());
        QVERIFY(r.editor.KeyboardOption->isChecked());
        QVERIFY(!r.editor.TextFileOption->isChecked());
        for (QPushButton* key : r.editor.keyButtons) {
            QVERIFY(key->isEnabled());
        }
        QVERIFY(r.editor.TextBoxLabel->text().startsWith(u"テキストボックスに"_s));
        QCOMPARE(r.box(), u"AB"_s);
    }

    void refusedFiles_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("says");
        QTest::newRow("a folder") << u"folder"_s << u"読み込めませんでした"_s;
        QTest::newRow("gone after the dialog") << u"gone"_s << u"読み込めませんでした"_s;
        QTest::newRow("binary") << u"binary"_s << u"テキストファイルではない"_s;
        QTest::newRow("longer than a question") << u"long"_s << u"長すぎる"_s;
        QTest::newRow("huge") << u"huge"_s << u"長すぎる"_s;
        // Reading these would wait on whoever is at the other end, with the window frozen.
        QTest::newRow("a FIFO") << u"fifo"_s << u"通常のファイルではない"_s;
        QTest::newRow("a device") << u"device"_s << u"通常のファイルではない"_s;
    }
    void refusedFiles() {
        QFETCH(QString, what);
        QFETCH(QString, says);
        Rig r;
        r.type(u"KEEP"_s);
        QString path;
        if (what == u"folder"_s) {
            path = r.files.path();
        } else if (what == u"gone"_s) {
            path = QDir(r.files.path()).filePath(u"vanished.txt"_s);
        } else if (what == u"binary"_s) {
            path = r.file(u"data.bin"_s, QByteArray("\x7f"
                                                    "ELF\0\0\x01\x02",
                                                    8));
        } else if (what == u"long"_s) {
            path = r.file(u"long.txt"_s, QByteArray(32766, 'E') + "\r\n");
        } else if (what == u"fifo"_s) {
            path = QDir(r.files.path()).filePath(u"pipe.txt"_s);
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (what == u"device"_s) {
            path = u"/dev/zero"_s;
        } else {
            QFile huge(QDir(r.files.path()).filePath(u"huge.txt"_s));
            QVERIFY(huge.open(QIODevice::WriteOnly));
            QVERIFY(huge.resize(qint64(512) * 1024 * 1024));  // sparse: nothing is written
            path = huge.fileName();
        }
        r.chooseFile(path);
        QCOMPARE(r.context.desktop.messages.size(), 1);
        QVERIFY2(r.context.desktop.messages[0].text.contains(says),
                 qPrintable(r.context.desktop.messages[0].text));
        QCOMPARE(r.box(), u"KEEP"_s);                   // the text stays
        QVERIFY(r.editor.TextFileOption->isChecked());  // still in file mode
        QVERIFY(!r.key(u'A')->isEnabled());
    }

    void decodingPrefersUtf8() {
        // Bytes valid in both: taken as UTF-8.
        QCOMPARE(QuestionFile::Decode("CQ"), u"CQ"_s);
        QCOMPARE(QuestionFile::Decode("\xE3\x81\x82"), u"あ"_s);
        // Not valid UTF-8: code page 932.
        QCOMPARE(QuestionFile::Decode("\x82\xa0"), u"あ"_s);
    }
};

QTEST_MAIN(QuestionEditorTest)
#include "test_question_editor.moc"
