#include "ui/lesson/QuestionPlayer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "core/kit/LessonState.h"
#include "core/kit/RoleCaptions.h"
#include "core/lesson/LessonSession.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/lesson/LessonUi.h"
#include "ui/link/LinkUi.h"

using namespace Qt::StringLiterals;

QuestionPlayer::QuestionPlayer(const PracticeWindow& form, LessonSession& session, QObject* parent)
    : QObject(parent), m_form(form), m_session(session) {
    const LessonUi& ui = m_form.ui;
    const LessonState& lesson = m_form.lesson;
    connect(&session, &LessonSession::playedCountShown, this,
            [&ui, &lesson] { ui.Label4->setText(CountText(lesson.shownPlayed)); });
    connect(&session, &LessonSession::correctCountShown, this,
            [&ui, &lesson] { ui.Label2->setText(CountText(lesson.shownCorrect)); });
    connect(&session, &LessonSession::refused, this, [this](const QString& message) {
        m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Critical,
                                   u"問題読み込みエラー"_s, message);
    });
    connect(&session, &LessonSession::questionOver, this, &QuestionPlayer::questionOver);
    connect(&session, &LessonSession::playedCountHeard, this, &QuestionPlayer::playedCountHeard);
    connect(&session, &LessonSession::modelAnswerDue, this,
            [&ui](const QString& question) { ui.AnswerText->setPlainText(question); });
    connect(&session, &LessonSession::longAnswerToShow, this, &QuestionPlayer::longAnswerToShow);
}

void QuestionPlayer::PlayQuestion(const QString& question) {
    m_session.playQuestion(question);
}

void QuestionPlayer::setAnswerPause(std::function<void(std::function<void()> resume)> pause) {
    m_session.setAnswerPause(std::move(pause));
}

void QuestionPlayer::questionOver(const QString& question) {
    const LinkUi& linkUi = m_form.linkUi;
    ShowMainButton(m_form.ui, m_form.lesson, m_form.lesson.mainButton);
    linkUi.TeacherLabel->setText(RoleCaption::SetterPeerIdle(m_form.link));
    SetEnabled({linkUi.TeacherOption, linkUi.StudentOption}, true);
    emit questionEnded(question);
    emit endReached();
}
