#include "ui/lesson/QuestionPlayer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/Clock.h"
#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/lesson/LessonKind.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "core/morse/CharacterDispatch.h"
#include "core/morse/PlannedPlayback.h"
#include "core/morse/SoundControls.h"
#include "core/sound/SoundOutput.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/lesson/LessonUi.h"
#include "ui/link/LinkUi.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QChar kEndMark = u'.';
constexpr int kAnswerDelayMs = 2000;
const QString kErrorTitle = u"問題読み込みエラー"_s;

}  // namespace

QuestionPlayer::QuestionPlayer(const PracticeWindow& form, QuillNetModule& module,
                               CharacterDispatch& dispatch, SoundOutput& output,
                               const SoundControls& controls, QObject* parent)
    : QObject(parent),
      m_form(form),
      m_module(module),
      m_dispatch(dispatch),
      m_output(output),
      m_controls(controls) {}

bool QuestionPlayer::refused(const QString& question) {
    if (question.isEmpty()) {
        m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Critical, kErrorTitle,
                                   u"読み込む問題が有りません｡"_s);
        return true;
    }
    if (question.size() > kLongestQuestion) {
        // The played count is 16 bits: a longer question could not be counted.
        m_form.desktop.showMessage(
            &m_form.window, DesktopServices::Icon::Critical, kErrorTitle,
            u"問題が長すぎるため再生できません。問題は%1文字以内にして下さい（受信した問題は%2文字）。"_s
                .arg(kLongestQuestion)
                .arg(question.size()));
        return true;
    }
    return false;
}

void QuestionPlayer::showPlayedCount(qint16 count) {
    ShowPlayedCount(m_form.ui, m_form.lesson, count);
}

void QuestionPlayer::PlayQuestion(const QString& question) {
    PlannedPlayback playback(m_output, m_controls);
    PlayQuestion(question, playback);
}

void QuestionPlayer::planCharacter(PlannedPlayback& playback, QChar character, qint16 shown,
                                   qint16 counted) {
    playback.add([this, character, shown, counted] {
        // Shown as it is heard: asked for before its sound, so it comes first at that moment.
        m_output.whenHeard(m_output.nextPosition(), this, [this, shown, counted] {
            // The answer awaited is the one for this character, given once it is heard.
            m_form.lesson.currentAnswer.clear();
            m_awaitingHeard = false;
            m_heardAny = true;
            m_heardCount = counted;
            showPlayedCount(shown);
        });
        m_dispatch.SoundCharacter(character, CharacterTable::Question);
    });
}

void QuestionPlayer::PlayQuestion(const QString& question, PlannedPlayback& playback) {
    m_reachedEnd = false;
    if (refused(question)) {
        return;
    }
    LessonState& lesson = m_form.lesson;
    const auto stopped = [this, &lesson] { return lesson.stopPlayback || m_form.clock.quitting(); };
    m_heardCount = lesson.playedCount;
    m_heardAny = false;
    // The token Step mode decides by: the last one a handled character gave, as it is planned.
    QString token = m_dispatch.currentToken();
    const QString played = question + kEndMark;
    for (const QChar character : played) {
        ++lesson.playedCount;
        if (stopped()) {
            stoppedAt();
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
            token = entry->token;
        }
        m_awaitingHeard = true;
        planCharacter(playback, character, shown, lesson.playedCount);
        if (LessonKindFor(m_form.choices.mode()).waitsForAnswerAfter(token)) {
            // Released by the answer buttons, the keyboard or the pass button; not by a stop.
            // An answer counts once the character has begun to sound (a key pressed before that is
            // about the one before); a stop that takes the character away ends the wait too.
            const quint64 cuts = m_output.cutCount();
            WaitUntil(m_form.clock, [this, &lesson, cuts] {
                return (!m_awaitingHeard && !lesson.currentAnswer.isEmpty()) ||
                       m_output.cutCount() != cuts;
            });
            if (m_answerPause) {
                m_answerPause();
            }
        } else {
            playback.keepAhead(stopped);
        }
    }
    // Over when its end mark has been heard; a stop before that ends it as a stop does.
    if (!playback.finish(stopped)) {
        if (!m_form.clock.quitting()) {
            stoppedAt();
        }
        return;
    }
    endOfQuestion(question, static_cast<int>(played.size()));
}

void QuestionPlayer::stoppedAt() {
    LessonState& lesson = m_form.lesson;
    if (!m_heardAny) {
        // Stopped during the call-up: nothing of the question was played.
        lesson.playedCount = 0;
        return;
    }
    // Where a player that sounds one character at a time would have stopped: at the character
    // after the last one heard.
    lesson.playedCount = static_cast<qint16>(m_heardCount + 1);
    showPlayedCount(lesson.playedCount);
}

void QuestionPlayer::endOfQuestion(const QString& question, int playedLength) {
    const LessonUi& ui = m_form.ui;
    const LinkUi& linkUi = m_form.linkUi;
    m_reachedEnd = true;
    m_form.lesson.stopPlayback = true;
    m_module.SendNetMessage(MessageType::AnswererStatus, AnswererCode::kTestFinished);
    m_form.link.studentStatus = LinkStatus::Empty;
    ShowMainButton(ui, m_form.lesson, MainButton::Next);
    linkUi.TeacherLabel->setText(RoleCaption::SetterPeerIdle(m_form.link));
    SetEnabled({linkUi.TeacherOption, linkUi.StudentOption}, true);
    emit questionEnded(question);
    emit endReached();
    if (!LessonKindFor(m_form.choices.mode()).showsQuestionAtEnd()) {
        return;
    }
    emit playedCountHeard(m_form.lesson.playedCount - 1);  // the end mark is not counted
    if (playedLength <= kLongestShownInAnswerBox) {
        Delay(m_form.clock, kAnswerDelayMs);
        if (!m_form.clock.quitting()) {
            ui.AnswerText->setPlainText(question);
        }
    } else {
        emit longAnswerToShow(question);
    }
}
