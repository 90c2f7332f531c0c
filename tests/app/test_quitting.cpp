// Ending the program from inside every kind of wait the program has: each of the three ways
// (closing the window, the 終了 entry, SIGTERM) ends it at once with the callsign saved and no
// sound files left, whatever was playing or open.
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <csignal>
#include <functional>

#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/link/ChatSession.h"
#include "support/AwaitSession.h"
#include "support/LessonAnswerer.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/app/TerminationSignals.h"
#include "ui/authoring/ExchangeWindows.h"
#include "ui/authoring/QuestionForm.h"
#include "ui/lesson/LessonUi.h"

using namespace Qt::StringLiterals;

namespace {

const QString kCallsign = u"JA1END"_s;

struct Rig {
    TestContext context;
    MainForm form{context.context()};
    TerminationSignals termination{context.clock};
    VirtualClock& clock = context.clock;

    Rig() {
        form.ui().CallsignText->setText(kCallsign);
        form.ui().Speed60_Option->setChecked(true);  // a short call-up
        QObject::connect(&termination, &TerminationSignals::terminationRequested, &form,
                         &QWidget::close);
    }
    const MainFormUi& ui() { return form.ui(); }
    // The answerer's side, ready to play a question.
    void answerer(bool step, const QString& question) {
        ui().StudentOption->setChecked(true);
        (step ? ui().StepMode_Option : ui().NormalMode_Option)->setChecked(true);
        form.link().receivedQuestion = question;
        ShowMainButton(ui(), form.lesson(), MainButtonNamed(u"スタート"_s));
        ui().StartButton_Command->setEnabled(true);
    }
};

using Situation = std::function<void(Rig&)>;

// The wait each situation is in when the program is ended, and how it got there.
QList<std::pair<const char*, Situation>> Situations() {
    return {
        {"question playback",
         [](Rig& r) {
             r.answerer(false, u"EEEEEEEEEEEE"_s);
             r.ui().StartButton_Command->click();
             AwaitLesson(r.form, r.clock);
         }},
        {"Step answer wait",
         [](Rig& r) {
             r.answerer(true, u"AB"_s);
             r.ui().StartButton_Command->click();
             AwaitLesson(r.form, r.clock);
         }},
        {"call-up",
         [](Rig& r) {
             r.answerer(true, u"E"_s);
             r.ui().StartButton_Command->click();
             AwaitLesson(r.form, r.clock);
         }},
        {"blinking status",
         [](Rig& r) {
             r.form.peerLink().module().DispatchNetMessage("72");
             Delay(r.clock, 60000);
         }},
        {"settings-saved notice",
         [](Rig& r) {
             r.ui().ToneText->setText(u"800"_s);
             r.ui().SaveSetButton_Command->click();
             Delay(r.clock, 1200);  // the notice closes itself
         }},
        {"sent notice and editor",
         [](Rig& r) {
             const WhenShown send(r.clock, u"QuestionForm"_s, [](QWidget* window) {
                 auto* editor = static_cast<QuestionForm*>(window);
                 editor->QuestionText->setPlainText(u"CQ"_s);
                 editor->QuestionCompleteButton->click();
                 editor->SendQuestionButton->click();
             });
             r.form.exchangeWindows().OpenQuestionForm();
         }},
        {"question editor", [](Rig& r) { r.form.exchangeWindows().OpenQuestionForm(); }},
        {"received-question notice",
         [](Rig& r) { r.form.peerLink().module().DispatchNetMessage("5CQ"); }},
        {"model answer", [](Rig& r) { r.form.exchangeWindows().ShowModelAnswer(u"CQ"_s); }},
        {"staying notice, modal", [](Rig& r) { r.form.exchangeWindows().ShowStayNotice(true); }},
        {"abort choice", [](Rig& r) { r.form.exchangeWindows().ShowAbortChoice(); }},
        {"result window",
         [](Rig& r) {
             r.answerer(true, u"E"_s);
             const LessonAnswerer answerer(r.form, r.clock);
             r.ui().StartButton_Command->click();
             AwaitLesson(r.form, r.clock);
         }},
        {"WAV settings dialog", [](Rig& r) { r.ui().mnuSoundQuarity->trigger(); }},
        {"band conditions dialog", [](Rig& r) { r.ui().mnuSoundBand->trigger(); }},
        {"CW chat playback",
         [](Rig& r) {
             r.form.peerLink().cwChat().PlayCwChatText(u"CQ CQ CQ"_s, ChatSession::Form::Receiving);
             AwaitCwChat(r.form, r.clock);
         }},
        {"CW chat queue",
         [](Rig& r) {
             r.ui().ChatMode_Option->setChecked(true);
             for (QChar key : u"CQ"_s) {
                 r.ui().answerButton(key)->setEnabled(true);
             }
             r.clock.scheduleAt(r.clock.now() + 100, [&r] { r.ui().answerButton(u'Q')->click(); });
             r.ui().answerButton(u'C')->click();
             AwaitCwChat(r.form, r.clock);
         }},
    };
}

// When each situation is well inside its wait, from its start.
int QuitAfterMs(const QString& situation) {
    // At 60 characters a minute the call-up takes about 4 s.
    if (situation == u"Step answer wait"_s) {
        return 6000;  // A has sounded; the playback waits for its answer
    }
    if (situation == u"question playback"_s) {
        return 5000;
    }
    if (situation == u"result window"_s) {
        return 9000;
    }
    return situation == u"sent notice and editor"_s ? 1000 : 700;
}

}  // namespace

class QuittingTest : public QObject {
    Q_OBJECT

  private slots:
    void endsAtOnceFromEveryWait_data() {
        QTest::addColumn<int>("situation");
        QTest::addColumn<QString>("way");
        const auto situations = Situations();
        for (int i = 0; i < situations.size(); ++i) {
            for (const char* way : {"close", "menu", "SIGTERM"}) {
                QTest::addRow("%s, %s", situations[i].first, way) << i << QString::fromLatin1(way);
            }
        }
    }
    void endsAtOnceFromEveryWait() {
        QFETCH(int, situation);
        QFETCH(QString, way);
        Rig r;
        const auto entry = Situations().at(situation);
        qint64 quitAt = -1;
        bool waitingThen = false;
        r.clock.scheduleAt(r.clock.now() + QuitAfterMs(QString::fromLatin1(entry.first)), [&] {
            quitAt = r.clock.now();
            waitingThen = !r.clock.quitting();
            if (way == u"close"_s) {
                r.form.close();
            } else if (way == u"menu"_s) {
                r.ui().mnuEnd->trigger();
            } else {
                std::raise(SIGTERM);
            }
        });
        entry.second(r);
        // The situation's own call has returned: the program ended inside it.
        QVERIFY(quitAt >= 0);
        QVERIFY(waitingThen);
        QVERIFY2(r.clock.now() - quitAt <= 200,
                 qPrintable(u"returned %1 ms after quitting"_s.arg(r.clock.now() - quitAt)));
        QCOMPARE(r.context.exitCount, 1);
        QVERIFY(r.clock.quitting());
        QCOMPARE(r.context.settingsBytes().mid(7 * 14, 8), QByteArray("\x06\x00JA1END", 8));
        QVERIFY(!QDir(r.context.soundFolder()).exists());
        // Nothing writes a sound file once the program has ended.
        Delay(r.clock, 5000);
        QVERIFY(!QDir(r.context.soundFolder()).exists());
    }
};

QTEST_MAIN(QuittingTest)
#include "test_quitting.moc"
