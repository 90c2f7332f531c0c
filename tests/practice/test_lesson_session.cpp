// Lesson sessions without a window: two answerers in one process, each linked to a peer of its
// own, take their lessons at the same time on one clock and keep apart.
#include <QtTest>

#include "core/kit/ClockTimer.h"
#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/lesson/LessonSession.h"
#include "core/link/LinkSocket.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "support/RawLinkPeer.h"
#include "support/WaveTestRig.h"

using namespace Qt::StringLiterals;

namespace {

// One answerer: its sound, its link to a peer that records every byte, and its session. It
// answers each character with the next scripted answer once the character is heard.
struct Answerer {
    Answerer(VirtualClock& clock, Places& places, PracticeMode mode, QStringList script)
        : output(clock),
          beep(output, controls, sound, clock),
          wave(output, controls, sound, clock, places),
          dispatch(beep, wave, output, controls, sound),
          module(link, socket, clock, [] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); }),
          session(
              LessonParts{lesson, link, choices, module, dispatch, output, controls, sound, clock}),
          tick(clock, 100),
          m_script(std::move(script)) {
        choices.setRole(Role::Answerer);
        choices.setMode(mode);
        peer.link(socket, clock);
        QObject::connect(&session, &LessonSession::judged,
                         [this](Judgement judgement, const QString&) { judgements << judgement; });
        QObject::connect(&session, &LessonSession::ended,
                         [this](bool score) { endedWithScore = score; });
        QObject::connect(&session, &LessonSession::modelAnswerDue,
                         [this](const QString& question) { modelAnswer = question; });
        QObject::connect(&tick, &ClockTimer::timeout, [this] { answerIfHeard(); });
        tick.setEnabled(true);
    }

    void answerIfHeard() {
        if (choices.mode() != PracticeMode::Step || !session.running() ||
            !lesson.currentAnswer.isEmpty() || sound.CurrentSoundToken.size() != 1 ||
            m_script.isEmpty()) {
            return;
        }
        session.answer(m_script.takeFirst());
    }

    FakeSoundControls controls;
    MorseSoundState sound;
    RecordingSoundOutput output;
    BeepGenerator beep;
    WaveGenerator wave;
    CharacterDispatch dispatch;
    LinkState link;
    LessonState lesson;
    SessionChoices choices;
    LinkSocket socket;
    QuillNetModule module;
    LessonSession session;
    ClockTimer tick;
    RawLinkPeer peer;
    QList<Judgement> judgements;
    std::optional<bool> endedWithScore;
    QString modelAnswer;

  private:
    QStringList m_script;
};

}  // namespace

class LessonSessionTest : public QObject {
    Q_OBJECT

  private slots:
    void twoAnswerersAtOnceKeepApart() {
        SoundRig rig;
        Answerer step(rig.clock, rig.places, PracticeMode::Step, {u"A"_s, u"N"_s, u"C"_s});
        Answerer normal(rig.clock, rig.places, PracticeMode::Normal, {});
        step.session.start(u"ABC"_s);
        normal.session.start(u"CQ CQ"_s);
        QVERIFY(step.session.running());
        QVERIFY(normal.session.running());
        QVERIFY(WaitUntil(
            rig.clock, [&] { return !step.session.running() && !normal.session.running(); },
            120000));
        QVERIFY(WaitUntil(
            rig.clock,
            [&] { return step.peer.received.size() == 2 && normal.peer.received.size() == 2; },
            10000));

        // Step: three characters heard, each answered once, B missed as N.
        QCOMPARE(step.judgements,
                 (QList<Judgement>{Judgement::Correct, Judgement::Miss, Judgement::Correct}));
        QCOMPARE(step.lesson.shownPlayed, std::optional<int>(3));
        QCOMPARE(step.lesson.shownCorrect, std::optional<int>(2));
        QCOMPARE(step.lesson.missTally[1], qint16(1));  // B
        QCOMPARE(step.endedWithScore, std::optional<bool>(true));
        QVERIFY(step.modelAnswer.isEmpty());
        // Normal: the whole question without an answer, then the question as the model answer;
        // the word space is no played character.
        QVERIFY(normal.judgements.isEmpty());
        QCOMPARE(normal.lesson.shownPlayed, std::optional<int>(4));
        QCOMPARE(normal.modelAnswer, u"CQ CQ"_s);
        QCOMPARE(normal.endedWithScore, std::optional<bool>(false));
        // Each peer is told of its own answerer's end only: answerer status 7, "3" finished.
        QCOMPARE(step.peer.received, "73"_ba);
        QCOMPARE(normal.peer.received, "73"_ba);
        QCOMPARE(step.lesson.mainButton, MainButton::Next);
        QCOMPARE(normal.lesson.mainButton, MainButton::Next);
    }

    // A stop cuts only its own session's sound: the other lesson plays on to its end.
    void aStopEndsOneSessionOnly() {
        SoundRig rig;
        Answerer stopped(rig.clock, rig.places, PracticeMode::Normal, {});
        Answerer other(rig.clock, rig.places, PracticeMode::Normal, {});
        stopped.session.start(u"EEEEEEEE"_s);
        other.session.start(u"EEEEEEEE"_s);
        rig.clock.scheduleAt(rig.clock.now() + 4000, [&] {
            stopped.lesson.stopPlayback = true;
            stopped.output.cut();
        });
        QVERIFY(WaitUntil(
            rig.clock, [&] { return !stopped.session.running() && !other.session.running(); },
            120000));
        QVERIFY(!stopped.session.reachedEnd());
        QVERIFY(other.session.reachedEnd());
        QVERIFY(stopped.lesson.playedCount < 8);
        QCOMPARE(other.lesson.shownPlayed, std::optional<int>(8));
    }
};

QTEST_MAIN(LessonSessionTest)
#include "test_lesson_session.moc"
