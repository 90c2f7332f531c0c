#include "practice/QuestionPlayer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/Clock.h"
#include "common/ControlHelpers.h"
#include "common/DesktopServices.h"
#include "common/LessonState.h"
#include "common/LinkState.h"
#include "common/MainFormUi.h"
#include "common/RoleCaptions.h"
#include "common/SharedTexts.h"
#include "morse/CharacterDispatch.h"
#include "morse/SoundControls.h"
#include "net/MessageCodes.h"
#include "net/QuillNetModule.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QChar kEndMark = u'.';
constexpr int kAnswerDelayMs = 2000;
const QString kErrorTitle = u"問題読み込みエラー"_s;

}  // namespace

QuestionPlayer::QuestionPlayer(const FormContext& form, QuillNetModule& module,
                               CharacterDispatch& dispatch, MorseSoundState& sound, QObject* parent)
    : QObject(parent), m_form(form), m_module(module), m_dispatch(dispatch), m_sound(sound) {}

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
    m_form.ui.Label4->setText(QString::number(count));
}

void QuestionPlayer::PlayQuestion(const QString& question) {
    m_reachedEnd = false;
    if (refused(question)) {
        return;
    }
    const MainFormUi& ui = m_form.ui;
    LessonState& lesson = m_form.lesson;
    const QString played = question + kEndMark;
    for (const QChar character : played) {
        lesson.currentAnswer.clear();
        ++lesson.playedCount;
        showPlayedCount(lesson.playedCount);
        if (lesson.stopPlayback || m_form.clock.quitting()) {
            return;
        }
        if (character == kEndMark) {
            // The end mark is not shown as a played character.
            showPlayedCount(static_cast<qint16>(lesson.playedCount - 1));
        } else if (character == u' ') {
            --lesson.playedCount;
            showPlayedCount(lesson.playedCount);
        }
        m_dispatch.SoundCharacter(character, CharacterTable::Question);
        const QString& token = m_sound.CurrentSoundToken;
        if (ui.StepMode_Option->isChecked() && token != u"[AR]"_s && token != u"[Space]"_s) {
            emit playedCountHeard(lesson.playedCount);
            // Released by the answer buttons, the keyboard or the pass button; not by a stop.
            WaitUntil(m_form.clock, [&lesson] { return !lesson.currentAnswer.isEmpty(); });
        }
    }
    if (m_form.clock.quitting()) {
        return;
    }
    endOfQuestion(question, static_cast<int>(played.size()));
}

void QuestionPlayer::endOfQuestion(const QString& question, int playedLength) {
    const MainFormUi& ui = m_form.ui;
    m_reachedEnd = true;
    m_form.lesson.stopPlayback = true;
    m_module.SendNetMessage(MessageType::AnswererStatus, AnswererCode::kTestFinished);
    m_form.link.studentStatus.clear();
    SetCaption(ui.StartButton_Command, StartCaption::kNext);
    ui.TeacherLabel->setText(RoleCaption::SetterPeerIdle(m_form.link));
    SetEnabled({ui.TeacherOption, ui.StudentOption}, true);
    emit endReached();
    if (!ui.NormalMode_Option->isChecked()) {
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
