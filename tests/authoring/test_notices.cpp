// The six notices of the question exchange: which text each shows, when each closes itself, what
// its buttons do, and that a notice closed before its time is left alone.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/kit/LinkState.h"
#include "core/link/QuillNetModule.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/authoring/ExchangeWindows.h"
#include "ui/authoring/Notices.h"
#include "ui/authoring/QuestionForm.h"
#include "ui/kit/PhraseLabel.h"
#include "ui/kit/WindowOpening.h"
#include "ui/lesson/LessonUi.h"

using namespace Qt::StringLiterals;

namespace {

struct Rig {
    TestContext context;
    MainForm form{context.context()};
    ExchangeWindows& windows = form.exchangeWindows();
    VirtualClock& clock = context.clock;

    Rig() { form.link().myCallsign = u"JA1AAA"_s; }
    // Whether the window of that name is shown at a time from now.
    void probe(int atMs, const QString& window, bool& shown) {
        clock.scheduleAt(clock.now() + atMs,
                         [window, &shown] { shown = ShownWindow(window) != nullptr; });
    }
    QString labelOf(const QString& window, const QString& label) {
        QWidget* shown = ShownWindow(window);
        return shown != nullptr ? shown->findChild<QLabel*>(label)->text() : QString();
    }
};

}  // namespace

class NoticesTest : public QObject {
    Q_OBJECT

  private slots:
    // The sent notice closes itself after 1.5 s and the editor 1 s later; OK closes both at
    // once; the close box closes only the notice, and the editor still goes at 2.5 s.
    void sentNoticeAndTheEditor_data() {
        QTest::addColumn<QString>("user");  // what the user does 500 ms after sending
        QTest::addColumn<int>("noticeGoneBy");
        QTest::addColumn<int>("editorGoneBy");
        QTest::newRow("nothing") << u"nothing"_s << 1500 << 2500;
        QTest::newRow("OK") << u"ok"_s << 500 << 500;
        QTest::newRow("close box") << u"box"_s << 500 << 2500;
    }
    void sentNoticeAndTheEditor() {
        QFETCH(QString, user);
        QFETCH(int, noticeGoneBy);
        QFETCH(int, editorGoneBy);
        Rig r;
        qint64 sentAt = -1;
        QString setterLabel;
        bool noticeBefore = false;
        bool noticeAfter = true;
        bool editorBefore = false;
        bool editorAfter = true;
        const WhenShown compose(r.clock, u"QuestionForm"_s, [&](QWidget* window) {
            auto* editor = static_cast<QuestionForm*>(window);
            editor->QuestionText->setPlainText(u"CQ"_s);
            editor->QuestionCompleteButton->click();
            sentAt = r.clock.now();
            // The notice shows once both sends (types 5 and 6, 10 ms each) have gone.
            r.probe(noticeGoneBy - 50, u"SendQuestionCompleteForm"_s, noticeBefore);
            r.probe(noticeGoneBy + 50, u"SendQuestionCompleteForm"_s, noticeAfter);
            r.probe(editorGoneBy - 50, u"QuestionForm"_s, editorBefore);
            r.probe(editorGoneBy + 50, u"QuestionForm"_s, editorAfter);
            if (user == u"ok"_s) {
                PressAt(r.clock, 500, u"SendQuestionCompleteForm"_s, u"OKButton"_s);
            } else if (user == u"box"_s) {
                CloseAt(r.clock, 500, u"SendQuestionCompleteForm"_s);
            }
            editor->SendQuestionButton->click();
            setterLabel = r.form.ui().TeacherLabel->text();
        });
        r.windows.OpenQuestionForm();
        QVERIFY(compose.ran());
        Delay(r.clock, 200);
        QVERIFY(noticeBefore);
        QVERIFY(!noticeAfter);
        QVERIFY(editorBefore);
        QVERIFY(!editorAfter);
        QCOMPARE(setterLabel, u"出題者:JA1AAA[問題送信済]"_s);
        QCOMPARE(Text(r.form.link().teacherStatus), u"問題送信済"_s);
        Delay(r.clock, 5000);  // the late steps find nothing left to close
        QVERIFY(!ShownWindow(u"QuestionForm"_s) && !ShownWindow(u"SendQuestionCompleteForm"_s));
    }

    void receivedNoticeText_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("secondLine");
        const QString ready = u"解答準備が出来たら、スタートボタンを押して下さい。"_s;
        QTest::newRow("step") << u"step"_s << ready;
        QTest::newRow("normal") << u"normal"_s << ready;
        QTest::newRow("chat mode")
            << u"chat"_s
            << u"練習モードを選択して解答準備が出来たら、スタートボタンを押して下さい。"_s;
    }
    void receivedNoticeText() {
        QFETCH(QString, mode);
        QFETCH(QString, secondLine);
        Rig r;
        if (mode == u"step"_s) {
            r.form.ui().StepMode_Option->setChecked(true);
        } else if (mode == u"normal"_s) {
            r.form.ui().NormalMode_Option->setChecked(true);
        } else {
            r.form.ui().ChatMode_Option->setChecked(true);
        }
        QString text;
        QString title;
        const WhenShown ok(r.clock, u"LoadQuestionCompleteForm"_s, [&](QWidget* window) {
            text = window->findChild<QLabel*>(u"Label1"_s)->text();
            title = window->windowTitle();
            window->findChild<QPushButton*>(u"Command1"_s)->click();
        });
        r.form.peerLink().module().DispatchNetMessage("5CQ");
        QVERIFY(ok.ran());  // the dispatcher waited for the modal notice
        QCOMPARE(title, u"問題の受信完了"_s);
        QCOMPARE(text, u"出題者から問題を受信しました。\n"_s + secondLine);
    }

    void abortChoice_data() {
        QTest::addColumn<QString>("button");  // empty: the close box
        QTest::addColumn<QString>("caption");
        QTest::newRow("中止") << u"CanselButton"_s << u"次の問題"_s;
        QTest::newRow("再挑戦") << u"RestartButton"_s << u"再挑戦"_s;
        QTest::newRow("close box leaves it") << QString() << u"スタート"_s;
    }
    void abortChoice() {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        Rig r;
        ShowMainButton(r.form.ui(), r.form.lesson(), MainButton::Start);
        const WindowStep step = button.isEmpty()
                                    ? CloseAt(r.clock, 200, u"AbortQuestionForm"_s)
                                    : PressAt(r.clock, 200, u"AbortQuestionForm"_s, button);
        r.windows.ShowAbortChoice();
        QVERIFY(step.ran());
        QCOMPARE(r.form.ui().StartButton_Command->text(), caption);
    }

    void modelAnswerAppearsAfterTwoSeconds() {
        Rig r;
        QString during = u"unset"_s;
        QString after;
        r.clock.scheduleAt(r.clock.now() + 1990, [&] {
            during = ShownWindow(u"AnswerQuestionForm"_s)
                         ->findChild<QPlainTextEdit*>(u"CorrectAnswerText"_s)
                         ->toPlainText();
        });
        r.clock.scheduleAt(r.clock.now() + 2010, [&] {
            QWidget* window = ShownWindow(u"AnswerQuestionForm"_s);
            after = window->findChild<QPlainTextEdit*>(u"CorrectAnswerText"_s)->toPlainText();
            window->findChild<QPushButton*>(u"CloseButton"_s)->click();
        });
        r.windows.ShowModelAnswer(u"CQ CQ DE JA9ZZZ"_s);
        QVERIFY(during.isEmpty());
        QCOMPARE(after, u"CQ CQ DE JA9ZZZ"_s);
    }

    // Closed during its wait, the model answer never comes back.
    void modelAnswerClosedDuringItsWait() {
        Rig r;
        CloseAt(r.clock, 1000, u"AnswerQuestionForm"_s);
        bool reappeared = false;
        r.probe(2500, u"AnswerQuestionForm"_s, reappeared);
        r.windows.ShowModelAnswer(u"CQ"_s);
        Delay(r.clock, 3000);
        QVERIFY(!reappeared);
    }

    void startingNoticeText_data() {
        QTest::addColumn<QString>("studentStatus");
        QTest::addColumn<bool>("modeChosen");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("next");
        QTest::newRow("after a question") << QString() << true << u"次の問題"_s << true;
        QTest::newRow("already ready") << u"解答準備完了"_s << true << u"次の問題"_s << false;
        QTest::newRow("no mode") << QString() << false << u"次の問題"_s << false;
        QTest::newRow("another caption") << QString() << true << u"準備OK"_s << false;
    }
    void startingNoticeText() {
        QFETCH(QString, studentStatus);
        QFETCH(bool, modeChosen);
        QFETCH(QString, caption);
        QFETCH(bool, next);
        Rig r;
        r.form.link().studentStatus = StatusNamed(studentStatus);
        if (modeChosen) {
            r.form.ui().NormalMode_Option->setChecked(true);
        }
        ShowMainButton(r.form.ui(), r.form.lesson(), MainButtonNamed(caption));
        emit r.form.peerLink().module().composingStarted();
        const QString text = r.labelOf(u"infoStartingMakeAQuestion"_s, u"msgLabel"_s);
        QCOMPARE(text, next ? u"出題者が、次の問題作成を開始しました。準備が出来たら、「次の問題」"
                              u"ボタンをクリックして下さい。"_s
                            : u"出題者が、問題作成を開始しました。練習モードと速度を選択して"
                              u"「準備OK」ボタンを押して下さい。"_s);
    }

    // Both "お知らせ" close themselves after 10 s; the starting one is never stacked, and the
    // staying one waits for its closing when modal.
    void infoNoticesCloseAfterTenSeconds_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<bool>("modal");
        QTest::newRow("setter started") << u"infoStartingMakeAQuestion"_s << false;
        QTest::newRow("setter still composing") << u"infoStayDuringMakeAQuestion"_s << false;
        QTest::newRow("still composing, modal") << u"infoStayDuringMakeAQuestion"_s << true;
    }
    void infoNoticesCloseAfterTenSeconds() {
        QFETCH(QString, which);
        QFETCH(bool, modal);
        Rig r;
        bool before = false;
        bool after = true;
        r.probe(9990, which, before);
        r.probe(10010, which, after);
        const qint64 start = r.clock.now();
        if (which == u"infoStartingMakeAQuestion"_s) {
            emit r.form.peerLink().module().composingStarted();
            emit r.form.peerLink().module().composingStarted();  // the peer says it again
            int shown = 0;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                shown += window->objectName() == which && window->isVisible();
            }
            QCOMPARE(shown, 1);
        } else {
            r.windows.ShowStayNotice(modal);
        }
        QCOMPARE(r.clock.now() - start, modal ? 10000 : 0);
        QCOMPARE(r.labelOf(which,
                           which == u"infoStayDuringMakeAQuestion"_s ? u"Label1"_s : u"msgLabel"_s)
                     .isEmpty(),
                 modal);
        Delay(r.clock, 11000);
        QVERIFY(before || modal);
        QVERIFY(!after);
        QVERIFY(ShownWindow(which) == nullptr);
    }

    // Notices wrap between phrases, never inside a word such as 下さい, and lose nothing.
    void noticeTextsWrapBetweenPhrases() {
        const QString text =
            u"出題者が、次の問題作成を開始しました。準備が出来たら、「次の問題」"
            u"ボタンをクリックして下さい。"_s;
        for (int width = 20; width <= 800; width += 20) {
            const QStringList lines = PhraseLines(text, QFontMetrics(QApplication::font()), width);
            QCOMPARE(lines.join(QString()), text);
            QVERIFY(lines.last().endsWith(u"ボタンをクリックして下さい。"_s));
        }
    }

    void infoNoticeClosedByOk() {
        Rig r;
        r.windows.ShowStayNotice(false);
        QCOMPARE(r.labelOf(u"infoStayDuringMakeAQuestion"_s, u"Label1"_s),
                 u"只今出題者が出題準備中です。ボタンが「スタート」に変わるまで待機下さい。"_s);
        ShownButton(u"infoStayDuringMakeAQuestion"_s, u"OKButton"_s)->click();
        QVERIFY(ShownWindow(u"infoStayDuringMakeAQuestion"_s) == nullptr);
        Delay(r.clock, 11000);  // its timer finds it gone
        QVERIFY(ShownWindow(u"infoStayDuringMakeAQuestion"_s) == nullptr);
    }
};

QTEST_MAIN(NoticesTest)
#include "test_notices.moc"
