#include "ui/authoring/ExchangeWindows.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "ui/authoring/Notices.h"
#include "ui/authoring/QuestionForm.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/link/LessonPanel.h"
#include "ui/link/LinkUi.h"

ExchangeWindows::ExchangeWindows(const FormContext& form, const LinkUi& ui, LessonPanel& lesson,
                                 QuillNetModule& module, QObject* parent)
    : QObject(parent),
      m_form(form),
      m_ui(ui),
      m_lesson(lesson),
      m_module(module),
      m_questionForm(std::make_unique<QuestionForm>(form, ui, module)) {
    connect(&m_module, &QuillNetModule::questionReceived, this, &ExchangeWindows::questionReceived);
    connect(&m_module, &QuillNetModule::composingStarted, this, &ExchangeWindows::composingStarted);
}

ExchangeWindows::~ExchangeWindows() {
    // The self-closing notices belong to no window; those still open go with the main window.
    delete m_startingNotice;
    delete m_stayNotice;
}

void ExchangeWindows::OpenQuestionForm() {
    const quint64 link = m_module.linkSerial();
    m_questionForm->Form_Load();
    ShowModal(m_form.clock, m_questionForm.get(), &m_form.window, {1600, 500});
    if (!m_questionForm->questionSent()) {
        giveUpSetting(link);
    }
}

void ExchangeWindows::giveUpSetting(quint64 link) {
    // Only while this side is still the setter on the link it composed for.
    if (m_module.linkGoneSince(link) || !m_form.choices.setter() ||
        m_form.lesson.mainButton != MainButton::Set) {
        return;
    }
    // The answerer hears that the setting was given up and waits for the next question; the
    // setter may set one again at once.
    m_module.SendNetMessage(MessageType::SetterStatus, SetterCode::kAborted);
    m_form.link.teacherStatus = LinkStatus::SettingAborted;
    m_ui.TeacherLabel->setText(RoleCaption::SetterSelfStatus(m_form.link));
    m_lesson.setMainButtonEnabled(true);
    SetEnabled({m_ui.TeacherOption, m_ui.StudentOption}, true);
}

void ExchangeWindows::questionReceived() {
    // A peer that sends its question again while the notice is open gets that one notice.
    m_receivedNotice.open([this] {
        LoadQuestionCompleteForm notice(m_form.choices);
        ShowModal(m_form.clock, &notice, &m_form.window, {3000, 2900});
    });
}

void ExchangeWindows::showInfo(QPointer<SelfClosingInfo>& slot, SelfClosingInfo* notice,
                               bool modal) {
    notice->setAttribute(Qt::WA_DeleteOnClose);
    slot = notice;
    if (modal) {
        ShowModal(m_form.clock, notice, &m_form.window, {2600, 2800});
    } else {
        ShowModeless(notice, &m_form.window, {2600, 2800});
    }
}

void ExchangeWindows::composingStarted() {
    if (IsOpen(m_startingNotice)) {
        return;  // still open from the last time the peer said so
    }
    showInfo(m_startingNotice, new infoStartingMakeAQuestion(m_form), false);
}

void ExchangeWindows::ShowStayNotice(bool modal) {
    if (IsOpen(m_stayNotice)) {
        return;
    }
    showInfo(m_stayNotice, new infoStayDuringMakeAQuestion(m_form.clock), modal);
}

void ExchangeWindows::ShowAbortChoice() {
    AbortQuestionForm notice(m_lesson);
    ShowModal(m_form.clock, &notice, &m_form.window, {3000, 3000});
}

void ExchangeWindows::ShowModelAnswer(const QString& question) {
    AnswerQuestionForm notice(m_form.clock, question);
    ShowModal(m_form.clock, &notice, &m_form.window, {1900, 1000});
}
