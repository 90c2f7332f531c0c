// Lessons against the practice partner: the partner's link on the test's virtual clock against a
// main window over loopback (ten Step lessons of Koch lesson 10, then a CW chat reply), and the
// real partner program started from the trainer's menu entry.
#include <poll.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/history/HistoryReader.h"
#include "core/kit/LinkState.h"
#include "core/link/BandRequest.h"
#include "core/partner/PartnerLink.h"
#include "core/partner/PartnerSession.h"
#include "core/partner/QuestionSource.h"
#include "support/AwaitSession.h"
#include "support/LessonAnswerer.h"
#include "support/NetTestSupport.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/app/SoloPractice.h"

using namespace Qt::StringLiterals;

namespace {

bool Readable(qintptr descriptor) {
    pollfd watched{static_cast<int>(descriptor), POLLIN, 0};
    return descriptor != -1 && ::poll(&watched, 1, 0) > 0;
}

// One Step lesson as the learner takes it: ready, the question, start, every character answered,
// the result read and closed. Returns the question played.
QString StepLesson(MainForm& form, VirtualClock& clock) {
    const MainFormUi& ui = form.ui();
    ui.StartButton_Command->click();  // 準備OK or 次の問題
    // The partner composes and sends; the received notice is dismissed by the rig.
    WaitUntil(
        clock, [&ui] { return ui.StartButton_Command->text() == u"スタート"_s; }, 30000);
    const QString question = form.link().receivedQuestion;
    {
        const LessonAnswerer answerer(form, clock);
        ui.StartButton_Command->click();
        AwaitLesson(form, clock);
    }
    return question;
}

// Whether a question holds five groups of five, all of the first ten Koch characters.
bool KochLessonTen(const QString& question) {
    const QStringList groups = question.split(u' ');
    if (groups.size() != 5) {
        return false;
    }
    for (const QString& group : groups) {
        if (group.size() != 5) {
            return false;
        }
        for (const QChar c : group) {
            if (!QuestionSource::kKochOrder.left(10).contains(c)) {
                return false;
            }
        }
    }
    return true;
}

struct Learner {
    TestContext context;
    LinkWatch watch{context.clock};
    // Against the real partner program, which keeps real time, the virtual clock must not run
    // ahead of real time: the partner's answers would otherwise come late by the virtual clock.
    QElapsedTimer realTime;
    qint64 realTimeFrom = 0;
    void keepRealTime() {
        realTimeFrom = context.clock.now();
        realTime.start();
    }
    MainForm form{context.context()};
    AlwaysPress received{context.clock, u"LoadQuestionCompleteForm"_s, u"Command1"_s};
    AlwaysPress result{context.clock, u"ResultForm"_s, u"CloseButton"_s};

    Learner() {
        context.clock.addBusyCheck([this] {
            return realTime.isValid() && context.clock.now() - realTimeFrom > realTime.elapsed();
        });
        watch.add(&form);
        form.ui().CallsignText->setText(u"JA1LRN"_s);
        form.ui().Speed60_Option->setChecked(true);
    }
    // Connects to the partner's link on the same virtual clock; Step mode chosen.
    bool linkTo(PartnerLink& partner) {
        context.clock.addBusyCheck([&partner] {
            if (partner.hasPendingWork()) {
                return true;
            }
            for (qintptr descriptor : partner.descriptors()) {
                if (Readable(descriptor)) {
                    return true;
                }
            }
            return false;
        });
        if (!partner.listen(QHostAddress::LocalHost)) {
            return false;
        }
        form.ui().ConnectIpText->setText(u"127.0.0.1"_s);
        form.ui().ConnectButton->click();
        return chooseStepMode();
    }
    // The partner made the window the answerer: Step mode chosen.
    bool chooseStepMode() {
        const MainFormUi& ui = form.ui();
        if (!WaitUntil(
                context.clock, [&ui] { return ui.StudentOption->isChecked(); }, 30000)) {
            return false;
        }
        Delay(context.clock, 300);
        ui.StepMode_Option->click();
        Delay(context.clock, 300);
        return true;
    }
};

}  // namespace

class PartnerLessonTest : public QObject {
    Q_OBJECT

  private slots:
    void tenStepLessonsAndACwContact() {
        Learner learner;
        VirtualClock& clock = learner.context.clock;
        QuestionSource::Settings settings;
        settings.kochCharacters = 10;
        settings.seed = 5;
        QuestionSource questions(settings);
        PartnerSession session(u"JA9PRT"_s, questions, 1500, clock);
        PartnerLink partner(clock, session, learner.context.ports);
        QStringList events;
        QObject::connect(&partner, &PartnerLink::happened,
                         [&events](const QString& line) { events << line; });
        QVERIFY(learner.linkTo(partner));
        QCOMPARE(learner.form.link().peerCallsign, u"JA9PRT"_s);

        for (int lesson = 1; lesson <= 10; ++lesson) {
            const QString question = StepLesson(learner.form, clock);
            QVERIFY2(KochLessonTen(question), qPrintable(question));
            QCOMPARE(learner.form.ui().ScoreList->count(), lesson);
            QCOMPARE(learner.form.ui().ScoreList->item(lesson - 1)->text(),
                     u"ステップ:25問中25問正解"_s);
        }
        Delay(clock, 500);
        QCOMPARE(events.count(u"test finished"_s), 10);

        // Then a contact in CW chat: the partner answers the learner's line in CW.
        const MainFormUi& ui = learner.form.ui();
        ui.ChatMode_Option->setEnabled(true);
        ui.ChatMode_Option->click();
        Delay(clock, 300);
        ui.optionCw->click();
        Delay(clock, 300);
        QString heard;
        learner.context.sound.onEvent = [&](const RecordingSoundOutput::Event& event) {
            if (event.kind == RecordingSoundOutput::Kind::Wave) {
                heard += learner.form.soundState().CurrentSoundToken;
            }
        };
        ui.SendMessageText->setText(u"CQ DE JA1LRN K"_s);
        ui.SendMessageButton->click();
        Delay(clock, 30000);
        AwaitCwChat(learner.form, clock);
        // The reply arrives while the learner's own line still sounds and plays nested inside it,
        // between two of its characters.
        const QString reply = u"JA1LRNDEJA9PRTGMTNXFERCALLUR599599BK"_s;
        QVERIFY2(heard.contains(reply), qPrintable(heard));
        QCOMPARE(QString(heard).remove(reply), u"CQDEJA1LRNK"_s);
        QVERIFY(events.contains(u"CW received: CQ DE JA1LRN K"_s));
    }

    // Conditions the partner asks for: told in the log, heard, kept with the lesson; gone with
    // the link.
    void bandConditionsAskedByThePartner() {
        Learner learner;
        VirtualClock& clock = learner.context.clock;
        QuestionSource questions(QuestionSource::Settings{});
        PartnerSession session(u"JA9PRT"_s, questions, 1500, clock);
        BandConditions asked = BandPresets()[1].conditions;
        asked.seed = 77;
        session.setBandRequest(BandRequestPayload(asked));
        PartnerLink partner(clock, session, learner.context.ports);
        QVERIFY(learner.linkTo(partner));
        QVERIFY(learner.form.peerLink().module().log().text().contains(
            u"相手の出題はバンドコンディション（SNR 25dB、シード 77）で再生されます。"_s));
        StepLesson(learner.form, clock);
        QVERIFY(learner.context.sound.bandConditionsOn());
        HistoryReader reader(learner.context.historyPath());
        reader.open();
        const QList<LessonRecord> kept = reader.lessons({}, {}, 0, 10);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept[0].band, u"SNR 25dB"_s);
        QCOMPARE(kept[0].bandSeed, 77u);
        learner.form.ui().CloseButton->click();
        Delay(clock, 500);
        learner.context.sound.restartBand();
        QVERIFY(!learner.context.sound.bandConditionsOn());
    }

    // The menu entry starts the real partner program and connects to it; a Step lesson follows.
    void menuEntryStartsThePartnerProgram() {
        Learner learner;
        // The trainer finds the partner beside itself.
        const QString partner =
            QDir(learner.context.programDir.path()).filePath(u"quillstart-partner"_s);
        QVERIFY(QFile::copy(QStringLiteral(QUILL_PARTNER_PROGRAM), partner));
        const MainFormUi& ui = learner.form.ui();
        // The real program keeps real time: the fastest speed keeps the lesson short.
        learner.form.practiceSettings().setFreeFigures(FreeSpeed{FreeSpeed::kHighestWpm, 0, 0});
        ui.SpeedFree_Option->click();
        learner.keepRealTime();
        ui.mnuPartnerSolo->trigger();
        QVERIFY2(learner.chooseStepMode(),
                 qPrintable(learner.form.soloPractice().partnerOutput().join(u'\n')));
        QCOMPARE(learner.form.ui().ConnectIpText->text(), u"127.0.0.1"_s);
        QCOMPARE(learner.form.link().peerCallsign, u"PARTNER"_s);
        const QString question = StepLesson(learner.form, learner.context.clock);
        QVERIFY2(KochLessonTen(question), qPrintable(question));
        QCOMPARE(ui.ScoreList->item(0)->text(), u"ステップ:25問中25問正解"_s);
        const auto finished = [&learner] {
            return !learner.form.soloPractice()
                        .partnerOutput()
                        .filter(u"test finished"_s)
                        .isEmpty();
        };
        WaitUntil(learner.context.clock, finished, 5000);
        QVERIFY(finished());
        // The entry asks for the drill on the window's own history.
        QVERIFY(!learner.form.soloPractice()
                     .partnerOutput()
                     .filter(u"drill weights from 0 lessons"_s)
                     .isEmpty());
        // While that link stands the entry is refused, and says why.
        const qsizetype told = learner.context.desktop.messages.size();
        ui.mnuPartnerSolo->trigger();
        QCOMPARE(learner.context.desktop.messages.size(), told + 1);
        QVERIFY(learner.context.desktop.messages.constLast().text.startsWith(u"接続中は"_s));
    }

    void aMissingPartnerProgramIsReported() {
        Learner learner;
        learner.form.ui().mnuPartnerSolo->trigger();
        WaitUntil(
            learner.context.clock,
            [&learner] { return !learner.context.desktop.messages.isEmpty(); }, 5000);
        QCOMPARE(learner.context.desktop.messages.size(), 1);
        QVERIFY(learner.context.desktop.messages[0].text.contains(u"quillstart-partner"_s));
        QVERIFY(learner.form.ui().ConnectButton->isEnabled());
    }
};

QTEST_MAIN(PartnerLessonTest)
#include "test_partner_lesson.moc"
