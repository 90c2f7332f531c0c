// The whole exchange between two windows over loopback, as two people run it: A (JA1AAA) composes
// in the editor and sends, B (JA2BBB) answers a Step lesson, sees the result, goes on to the next
// question, then a Normal lesson with its model answer, then both chat in CW.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/AwaitSession.h"
#include "support/LessonAnswerer.h"
#include "support/LinkedPair.h"
#include "support/WindowScript.h"
#include "ui/authoring/QuestionForm.h"

using namespace Qt::StringLiterals;

namespace {

// Every notice a side is shown, by name, with its message when it has one.
class NoticeLog {
  public:
    NoticeLog(VirtualClock& clock, QStringList& log) {
        for (const char16_t* name : {u"LoadQuestionCompleteForm", u"SendQuestionCompleteForm",
                                     u"infoStartingMakeAQuestion", u"infoStayDuringMakeAQuestion",
                                     u"AnswerQuestionForm", u"ResultForm"}) {
            m_watch.emplace_back(clock, QString::fromUtf16(name), log);
        }
    }

  private:
    // Notes a window once each time it is shown, looking every 100 ms of virtual time.
    struct Watch {
        Watch(VirtualClock& clock, QString name, QStringList& log)
            : m_state(std::make_shared<State>(State{&clock, std::move(name), &log, false})) {
            Look(m_state);
        }
        struct State {
            VirtualClock* clock;
            QString name;
            QStringList* log;
            bool shown;
        };
        static void Look(const std::shared_ptr<State>& state) {
            std::weak_ptr<State> weak = state;
            state->clock->scheduleAt(state->clock->now() + 100, [weak] {
                if (const auto s = weak.lock()) {
                    const bool shown = ShownWindow(s->name) != nullptr;
                    if (shown && !s->shown) {
                        *s->log << s->name;
                    }
                    s->shown = shown;
                    Look(s);
                }
            });
        }
        std::shared_ptr<State> m_state;
    };
    std::vector<Watch> m_watch;
};

}  // namespace

class ExchangeTest : public QObject {
    Q_OBJECT

  private slots:
    void wholeExchange() {
        LinkedPair p;
        QStringList shown;
        NoticeLog notices(p.clock(), shown);
        // B dismisses the received-question notice; the results and model answers are read
        // and closed; the "お知らせ" are left to close themselves.
        QString receivedText;
        const WhenShown readReceived(p.clock(), u"LoadQuestionCompleteForm"_s, [&](QWidget* w) {
            receivedText = w->findChild<QLabel*>(u"Label1"_s)->text();
        });

        // Looked at first: the text is read before the user dismisses it.
        AlwaysPress dismissReceived(p.clock(), u"LoadQuestionCompleteForm"_s, u"Command1"_s);
        AlwaysPress closeResult(p.clock(), u"ResultForm"_s, u"CloseButton"_s);
        p.connectWithRoles();
        p.b.ui().StepMode_Option->click();
        p.wait(200);
        p.b.ui().StartButton_Command->click();  // 準備OK
        p.wait(200);

        // A composes with the key buttons in the editor and sends.
        const WhenShown compose(p.clock(), u"QuestionForm"_s, [&](QWidget* window) {
            for (const char16_t* key :
                 {u"LetterK_Button", u"LetterM_Button", u"SpaceButton", u"Num5_Button"}) {
                window->findChild<QPushButton*>(QString::fromUtf16(key))->click();
            }
            auto* editor = static_cast<QuestionForm*>(window);
            QCOMPARE(editor->QuestionText->toPlainText(), u"KM 5"_s);
            editor->QuestionCompleteButton->click();
            QCOMPARE(editor->QuestionText->toPlainText(), u"HR HR [BT]KM 5[AR]"_s);
            editor->SendQuestionButton->click();
        });
        p.a.ui().StartButton_Command->click();  // 出題: returns when the editor has closed
        QVERIFY(compose.ran());
        p.wait(300);
        QCOMPARE(p.b.link().receivedQuestion, u"KM 5"_s);
        QCOMPARE(receivedText,
                 u"出題者から問題を受信しました。\n"
                 u"解答準備が出来たら、スタートボタンを押して下さい。"_s);
        QCOMPARE(p.b.ui().TeacherLabel->text(), u"出題者:JA1AAA[問題送信済]"_s);
        QCOMPARE(p.a.ui().TeacherLabel->text(), u"出題者:JA1AAA[問題送信済]"_s);

        {
            LessonAnswerer answerer(p.b, p.clock(), {u"K"_s, u"PASS"_s, u"5"_s});
            p.b.ui().StartButton_Command->click();  // スタート
            AwaitLesson(p.b, p.clock());
        }
        QCOMPARE(p.b.ui().ScoreList->item(0)->text(), u"ステップ:3問中2問正解"_s);
        p.wait(300);
        QCOMPARE(p.a.ui().StudentLabel->text(), u"解答者:JA2BBB[受験終了]"_s);

        // The next question: A starts composing before B asks for it, and B is told so.
        QString startingText;
        const WhenShown readStarting(p.clock(), u"infoStartingMakeAQuestion"_s, [&](QWidget* w) {
            startingText = w->findChild<QLabel*>(u"msgLabel"_s)->text();
        });
        QString waitingCaption;
        const WhenShown composeAgain(p.clock(), u"QuestionForm"_s, [&](QWidget* window) {
            auto* editor = static_cast<QuestionForm*>(window);
            // B asks for the next question while A composes: the modal stay notice, 10 s (its
            // status message is queued, not waited for).
            const qint64 asked = p.clock().now();
            p.b.ui().StartButton_Command->click();  // 次の問題
            QCOMPARE(p.clock().now() - asked, 10000);
            waitingCaption = p.b.ui().StartButton_Command->text();
            editor->QuestionText->setPlainText(u"E"_s);
            editor->QuestionCompleteButton->click();
            editor->SendQuestionButton->click();
        });
        p.a.ui().StartButton_Command->click();  // 出題
        QVERIFY(composeAgain.ran());
        p.wait(300);
        QCOMPARE(startingText,
                 u"出題者が、次の問題作成を開始しました。準備が出来たら、"
                 u"「次の問題」ボタンをクリックして下さい。"_s);
        QCOMPARE(waitingCaption, u"出題準備中"_s);
        QCOMPARE(p.b.ui().StartButton_Command->text(), u"スタート"_s);
        {
            LessonAnswerer answerer(p.b, p.clock());
            p.b.ui().StartButton_Command->click();
            AwaitLesson(p.b, p.clock());
        }
        QCOMPARE(p.b.ui().ScoreList->item(1)->text(), u"ステップ:1問中1問正解"_s);

        // A Normal lesson of a long question ends in the model answer window.
        p.b.ui().StopButton_Command->click();  // モード切替
        p.b.ui().NormalMode_Option->click();
        p.wait(200);
        p.b.ui().StartButton_Command->click();  // 準備OK
        p.wait(200);
        const WhenShown composeLong(p.clock(), u"QuestionForm"_s, [&](QWidget* window) {
            auto* editor = static_cast<QuestionForm*>(window);
            editor->QuestionText->setPlainText(QString(70, u'E'));
            editor->QuestionCompleteButton->click();
            editor->SendQuestionButton->click();
        });
        p.a.ui().StartButton_Command->click();
        QVERIFY(composeLong.ran());
        p.wait(300);
        QString modelAnswer;
        const WhenShown readAnswer(p.clock(), u"AnswerQuestionForm"_s, [&](QWidget* window) {
            p.clock().scheduleAt(p.clock().now() + 2100, [&, window] {
                modelAnswer =
                    window->findChild<QPlainTextEdit*>(u"CorrectAnswerText"_s)->toPlainText();
                window->close();
            });
        });
        p.b.ui().StartButton_Command->click();
        AwaitLesson(p.b, p.clock());
        QCOMPARE(modelAnswer, QString(70, u'E'));
        QCOMPARE(p.b.ui().StartButton_Command->text(), u"次の問題"_s);
        QVERIFY(p.b.ui().AnswerText->toPlainText().isEmpty());

        // The answerer's notice opens while the setter's sends its status, just before it shows.
        const QString sent = u"SendQuestionCompleteForm"_s;
        const QString received = u"LoadQuestionCompleteForm"_s;
        QCOMPARE(shown,
                 (QStringList{received, sent, u"ResultForm"_s, u"infoStartingMakeAQuestion"_s,
                              u"infoStayDuringMakeAQuestion"_s, received, sent, u"ResultForm"_s,
                              received, sent, u"AnswerQuestionForm"_s}));

        // And then they chat in CW, one way and the other.
        p.b.ui().ChatMode_Option->click();
        p.wait(300);
        p.b.ui().optionCw->click();
        p.wait(300);
        QVERIFY(p.a.ui().optionCw->isChecked());
        p.b.ui().SendMessageText->setText(u"TU"_s);
        p.b.ui().SendMessageButton->click();
        p.wait(5000);
        p.a.ui().SendMessageText->setText(u"73"_s);
        p.a.ui().SendMessageButton->click();
        p.wait(8000);
        QVERIFY(p.b.link().cwChatBuffer.endsWith(u"JA2BBB > TU\r\n"_s));
        QVERIFY(p.a.link().cwChatBuffer.endsWith(u"JA1AAA > 73\r\n"_s));
        QCOMPARE(p.a.ui().StudentLabel->text(), u"JA2BBB[CWチャットモード受信終了]"_s);
        // A's box emptied after its line: the peer's status is cleared.
        QCOMPARE(p.b.ui().StudentLabel->text(), u"JA1AAA[CWチャットモード]"_s);
    }
};

QTEST_MAIN(ExchangeTest)
#include "test_exchange.moc"
