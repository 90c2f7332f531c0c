#include "core/lesson/LessonSession.h"

#include <QPointer>

#include "core/kit/Clock.h"
#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/lesson/LessonKind.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "core/morse/CharacterDispatch.h"
#include "core/morse/PlannedPlayback.h"
#include "core/morse/SoundControls.h"

using namespace Qt::StringLiterals;

namespace {

struct CallUpSymbol {
    SymbolId symbol;
    const char16_t* name;
};
constexpr CallUpSymbol kCallUp[] = {{SymbolId::H, u"H"},
                                    {SymbolId::R, u"R"},
                                    {SymbolId::H, u"H"},
                                    {SymbolId::R, u"R"},
                                    {SymbolId::BT, u"BT"}};
constexpr int kCallUpLength = static_cast<int>(std::size(kCallUp));

constexpr QChar kEndMark = u'.';
constexpr int kModelAnswerDelayMs = 2000;
constexpr int kCorrectBlankMs = 80;

}  // namespace

LessonSession::LessonSession(LessonParts parts, QObject* parent)
    : QObject(parent), m_parts(parts) {}

LessonSession::~LessonSession() = default;

bool LessonSession::stopped() const {
    return m_parts.lesson.stopPlayback || m_parts.clock.quitting();
}

void LessonSession::begin(Stage stage, const QString& question) {
    m_playback = std::make_unique<PlannedPlayback>(m_parts.output, m_parts.controls);
    m_playback->watch([this] { wake(); });
    m_stage = stage;
    m_wait = Wait::None;
    m_question = question;
    m_next = 0;
}

void LessonSession::start(const QString& question) {
    m_runStarted = true;
    begin(Stage::CallUp, question);
    // The band's conditions start afresh with the lesson, as they do for everyone who hears it.
    m_parts.output.restartBand();
    m_heardAny = false;
    showCorrect(std::nullopt);
    showPlayed(std::nullopt);
    emit callUpSounding(true);
    callUpStep();
    wake();
}

void LessonSession::playQuestion(const QString& question) {
    m_runStarted = false;
    begin(Stage::Question, question);
    beginQuestion();
    wake();
}

void LessonSession::wake() {
    if (running()) {
        m_advance.request();
    }
}

void LessonSession::advance() {
    while (running()) {
        if (m_parts.clock.quitting()) {
            m_stage = Stage::Idle;  // the program is ending: nothing more is told
            return;
        }
        if (!waitIsOver()) {
            return;  // what can end the wait wakes the session
        }
        const Wait over = m_wait;
        m_wait = Wait::None;
        if (over == Wait::Answer && m_answerPause) {
            m_wait = Wait::Pause;
            m_paused = false;
            const QPointer<LessonSession> guarded(this);
            m_answerPause([guarded] {
                if (guarded) {
                    guarded->m_paused = true;
                    guarded->wake();
                }
            });
            continue;
        }
        step();
        // Every step lets events run before the next one, as a wait of the program does.
        wake();
        return;
    }
}

bool LessonSession::waitIsOver() {
    if (m_wait == Wait::Time) {
        return m_parts.clock.now() >= m_timeDue;
    }
    // A playback started inside this one (a CW chat line) is heard first: nothing goes on.
    if (m_playback != nullptr && !m_playback->isInnermost()) {
        return false;
    }
    switch (m_wait) {
        case Wait::Lead:
            return stopped() || m_playback->leadLeft();
        case Wait::Answer:
            // Released by an answer given once the character has begun to sound (a key pressed
            // before that is about the one before), or by a cut that takes the character away.
            return !m_holding && ((!m_awaitingHeard && !m_parts.lesson.currentAnswer.isEmpty()) ||
                                  m_parts.output.cutCount() != m_cutsAtAnswerWait);
        case Wait::Pause:
            return m_paused;
        case Wait::Heard:
            return stopped() || m_playback->heardToEnd();
        case Wait::None:
        case Wait::Time:
            break;
    }
    return true;
}

void LessonSession::step() {
    switch (m_stage) {
        case Stage::CallUp:
            callUpStep();
            break;
        case Stage::Question:
            questionStep();
            break;
        case Stage::End:
            // Over when its end mark has been heard; a stop before that ends it as a stop does.
            if (stopped()) {
                stoppedAt();
                finishRun();
            } else {
                endOfQuestion();
            }
            break;
        case Stage::ModelAnswer:
            emit modelAnswerDue(m_question);
            finishRun();
            break;
        case Stage::Idle:
            break;
    }
}

void LessonSession::callUpStep() {
    if (m_next < kCallUpLength && !stopped()) {
        const CallUpSymbol callUp = kCallUp[m_next++];
        m_playback->add([this, callUp] {
            // Its name shows as it is heard.
            m_parts.output.whenHeard(
                m_parts.output.nextPosition(), this,
                [this, name = callUp.name] { emit callUpSymbolHeard(QString::fromUtf16(name)); });
            // Read afresh for every symbol, as the question's characters are.
            m_parts.dispatch.SoundSymbol(callUp.symbol);
        });
        m_wait = Wait::Lead;
        return;
    }
    // Over when heard to its end: its last symbol must not stand in the display through the
    // question.
    const auto over = [this] {
        emit callUpSymbolHeard(QString());
        emit callUpSounding(false);
    };
    if (m_parts.lesson.stopPlayback) {
        over();  // stopped: the stop has silenced it
        finishRun();
        return;
    }
    m_parts.output.whenOver(m_parts.output.plannedEnd(), this, over);
    beginQuestion();
}

void LessonSession::beginQuestion() {
    LessonState& lesson = m_parts.lesson;
    if (m_runStarted) {
        const bool judged = LessonKindFor(m_parts.choices.mode()).judgesEachCharacter();
        lesson.playedCount = 0;
        if (judged) {
            lesson.correctCount = 0;
        }
        // As the question begins to sound, after the call-up.
        const std::optional<int> correct = judged ? std::optional<int>(0) : std::nullopt;
        m_parts.output.whenHeard(m_parts.output.nextPosition(), this, [this, correct] {
            showPlayed(0);
            showCorrect(correct);
        });
        lesson.stopPlayback = false;
    }
    m_reachedEnd = false;
    if (refusedQuestion()) {
        finishRun();
        return;
    }
    m_stage = Stage::Question;
    m_heardCount = lesson.playedCount;
    m_heardAny = false;
    m_token = m_parts.dispatch.currentToken();
    m_next = 0;
    questionStep();
}

bool LessonSession::refusedQuestion() {
    if (m_question.isEmpty()) {
        emit refused(u"読み込む問題が有りません｡"_s);
        return true;
    }
    if (m_question.size() > kLongestQuestion) {
        // The played count is 16 bits: a longer question could not be counted.
        emit refused(
            u"問題が長すぎるため再生できません。問題は%1文字以内にして下さい（受信した問題は%2文字）。"_s
                .arg(kLongestQuestion)
                .arg(m_question.size()));
        return true;
    }
    return false;
}

void LessonSession::questionStep() {
    LessonState& lesson = m_parts.lesson;
    if (m_next == m_question.size() + 1) {
        m_stage = Stage::End;
        m_wait = Wait::Heard;
        return;
    }
    const QChar character = m_next == m_question.size() ? kEndMark : m_question.at(m_next);
    ++m_next;
    ++lesson.playedCount;
    if (stopped()) {
        stoppedAt();
        finishRun();
        return;
    }
    qint16 shown = lesson.playedCount;
    if (character == kEndMark) {
        // The end mark is not shown as a played character.
        shown = static_cast<qint16>(lesson.playedCount - 1);
    } else if (character == u' ') {
        --lesson.playedCount;
        shown = lesson.playedCount;
    }
    if (const std::optional<CharacterEntry> entry =
            LookUpCharacter(character, CharacterTable::Question)) {
        m_token = entry->token;
    }
    m_awaitingHeard = true;
    planCharacter(character, shown, lesson.playedCount);
    if (LessonKindFor(m_parts.choices.mode()).waitsForAnswerAfter(m_token)) {
        // Released by the answer buttons, the keyboard or the pass button; not by a stop.
        m_cutsAtAnswerWait = m_parts.output.cutCount();
        m_wait = Wait::Answer;
    } else {
        m_wait = Wait::Lead;
    }
}

void LessonSession::planCharacter(QChar character, qint16 shown, qint16 counted) {
    m_playback->add([this, character, shown, counted] {
        // Shown as it is heard: asked for before its sound, so it comes first at that moment.
        m_parts.output.whenHeard(m_parts.output.nextPosition(), this, [this, shown, counted] {
            // The answer awaited is the one for this character, given once it is heard.
            m_parts.lesson.currentAnswer.clear();
            m_awaitingHeard = false;
            m_heardAny = true;
            m_heardCount = counted;
            showPlayed(shown);
        });
        m_parts.dispatch.SoundCharacter(character, CharacterTable::Question);
    });
}

void LessonSession::stoppedAt() {
    LessonState& lesson = m_parts.lesson;
    if (!m_heardAny) {
        // Stopped during the call-up: nothing of the question was played.
        lesson.playedCount = 0;
        return;
    }
    // Where a player that sounds one character at a time would have stopped: at the character
    // after the last one heard.
    lesson.playedCount = static_cast<qint16>(m_heardCount + 1);
    showPlayed(lesson.playedCount);
}

void LessonSession::endOfQuestion() {
    LessonState& lesson = m_parts.lesson;
    m_reachedEnd = true;
    lesson.stopPlayback = true;
    m_parts.module.SendNetMessage(MessageType::AnswererStatus, AnswererCode::kTestFinished);
    m_parts.link.studentStatus = LinkStatus::Empty;
    lesson.mainButton = MainButton::Next;
    emit questionOver(m_question);
    if (!running() || !LessonKindFor(m_parts.choices.mode()).showsQuestionAtEnd()) {
        finishRun();
        return;
    }
    emit playedCountHeard(lesson.playedCount - 1);  // the end mark is not counted
    if (m_question.size() + 1 <= kLongestShownInAnswerBox) {
        m_stage = Stage::ModelAnswer;
        m_wait = Wait::Time;
        m_timeDue = m_parts.clock.now() + kModelAnswerDelayMs;
        RunAfter(m_parts.clock, this, kModelAnswerDelayMs, [this] { wake(); });
        return;
    }
    emit longAnswerToShow(m_question);
    finishRun();
}

void LessonSession::finishRun() {
    const LessonState& lesson = m_parts.lesson;
    const bool run = m_runStarted && running();
    m_stage = Stage::Idle;
    m_wait = Wait::None;
    m_playback.reset();
    if (!run || m_parts.clock.quitting()) {
        return;
    }
    // A kind that judges as it goes reports its score, once anything of the question was heard.
    const bool showScore = LessonKindFor(m_parts.choices.mode()).judgesEachCharacter() &&
                           m_heardAny && (lesson.shownCorrect != 0 || lesson.shownPlayed != 0);
    emit ended(showScore);
}

void LessonSession::showPlayed(std::optional<int> count) {
    m_parts.lesson.shownPlayed = count;
    emit playedCountShown();
}

void LessonSession::showCorrect(std::optional<int> count) {
    m_parts.lesson.shownCorrect = count;
    emit correctCountShown();
}

Judgement LessonSession::answer(const QString& text) {
    LessonState& lesson = m_parts.lesson;
    lesson.currentAnswer = text;
    const MorseSoundState& sound = m_parts.sound;
    const Judgement judgement =
        JudgeAnswer(lesson, text, sound.CurrentSoundToken, sound.LastSoundedChar);
    emit judged(judgement, sound.LastSoundedChar);
    if (judgement == Judgement::Correct) {
        // Blank for a moment, then shown as correct; the lesson goes on after that.
        m_holding = true;
        RunAfter(m_parts.clock, this, kCorrectBlankMs, [this] {
            m_holding = false;
            emit correctShown();
            showCorrect(m_parts.lesson.correctCount);
            wake();
        });
    } else {
        wake();
    }
    return judgement;
}
