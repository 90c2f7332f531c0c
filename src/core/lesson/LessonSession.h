#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "core/kit/Clock.h"
#include "core/lesson/Grading.h"

class CharacterDispatch;
class LessonKind;
class PlannedPlayback;
class QuillNetModule;
class SessionChoices;
class SoundControls;
class SoundOutput;
struct LessonState;
struct LinkState;
struct MorseSoundState;

// What a lesson session works on: the lesson's and the link's state, the chosen kind, the link to
// report to, and the sound.
struct LessonParts {
    LessonState& lesson;
    LinkState& link;
    const SessionChoices& choices;
    QuillNetModule& module;
    CharacterDispatch& dispatch;
    SoundOutput& output;
    const SoundControls& controls;
    MorseSoundState& sound;
    Clock& clock;
};

// A lesson as the answerer hears it: the call-up, the question character by character ending
// with AR, the Step-mode wait for each answer and its judgement, the end, and a stop. Between its
// steps it returns to the event loop and goes on when the sound output reports what was heard or
// cut, when an answer arrives or when the sound settings change, so that any number of sessions
// and windows run side by side. Its state is the lesson's own; the windows render what it says.
class LessonSession : public QObject {
    Q_OBJECT
  public:
    // Up to this many characters (with the end mark) the answer appears in the main window.
    static constexpr int kLongestShownInAnswerBox = 63;

    explicit LessonSession(LessonParts parts, QObject* parent = nullptr);
    ~LessonSession() override;

    // The call-up H R H R BT and then the question, planned on one timeline so they join without
    // a seam, for the kind of lesson the choices hold. The caller clears stopPlayback and the
    // played count first.
    void start(const QString& question);
    // The question alone, without a call-up and without an end of the run (ended is not told).
    void playQuestion(const QString& question);
    bool running() const { return m_stage != Stage::Idle; }

    // The answer to the character heard last (a letter or digit, or "PASS"): judged at once; the
    // Step-mode wait is released by it once the character has begun to sound.
    Judgement answer(const QString& text);
    // Runs in Step mode once an answer is taken, before the next character: resume is called
    // when what must be over before that character sounds is over (a screen reader speaking).
    void setAnswerPause(std::function<void(std::function<void()> resume)> pause) {
        m_answerPause = std::move(pause);
    }

    // Whether the last question played to its end (no stop, no refusal), and whether any of its
    // characters was heard (a stop during the call-up plays none).
    bool reachedEnd() const { return m_reachedEnd; }
    bool heardAny() const { return m_heardAny; }

  signals:
    // The call-up begins to sound (true) and has been heard or cut (false); the symbol heard.
    void callUpSounding(bool sounding);
    void callUpSymbolHeard(const QString& name);
    // The lesson's shown counts changed (shownPlayed, shownCorrect).
    void playedCountShown();
    void correctCountShown();
    // The question cannot be played: the message to show.
    void refused(const QString& message);
    // The question has been heard to its end: the state says so (the main button's "次の問題",
    // the setter told); the windows show it before anything else hears of the end.
    void questionOver(const QString& question);
    // Normal mode's end: the played count once the end mark has sounded, then the model answer,
    // 2 s later in the answer box, or at once when it is too long for it.
    void playedCountHeard(int count);
    void modelAnswerDue(const QString& question);
    void longAnswerToShow(const QString& question);
    // An answer was judged; a correct one is shown as such kCorrectBlankMs later.
    void judged(Judgement judgement, const QString& sounded);
    void correctShown();
    // The run begun by start() is over; showScore: a Step lesson that counted something, whose
    // score and result are to be shown. Not told when the program is ending.
    void ended(bool showScore);

  private:
    enum class Stage { Idle, CallUp, Question, End, ModelAnswer };
    enum class Wait { None, Lead, Answer, Pause, Heard, Time };

    void begin(Stage stage, const QString& question);
    void wake();
    void advance();
    bool waitIsOver();
    void step();
    void callUpStep();
    void beginQuestion();
    void questionStep();
    void planCharacter(QChar character, qint16 shown, qint16 counted);
    void questionHeard();
    void stoppedAt();
    void endOfQuestion();
    void finishRun();
    void showPlayed(std::optional<int> count);
    void showCorrect(std::optional<int> count);
    bool stopped() const;
    bool refusedQuestion();

    LessonParts m_parts;
    QueuedStep m_advance{m_parts.clock, this, [this] { advance(); }};
    std::unique_ptr<PlannedPlayback> m_playback;
    std::function<void(std::function<void()>)> m_answerPause;
    Stage m_stage = Stage::Idle;
    Wait m_wait = Wait::None;
    bool m_runStarted = false;  // begun by start(): told as ended
    QString m_question;
    int m_next = 0;   // the call-up symbol or question character planned next
    QString m_token;  // the token Step mode decides by, as characters are planned
    quint64 m_cutsAtAnswerWait = 0;
    bool m_paused = false;   // the answer pause is over
    bool m_holding = false;  // a correct answer is being shown
    qint64 m_timeDue = 0;
    bool m_reachedEnd = false;
    qint16 m_heardCount = 0;  // the played count after the last character heard
    bool m_heardAny = false;
    bool m_awaitingHeard = false;
};
