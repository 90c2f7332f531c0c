#include "ui/lesson/ReceiveMode.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/kit/SpeedTable.h"
#include "core/link/ExactSpeed.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "core/morse/PracticeSettings.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/EnabledWatch.h"
#include "ui/lesson/LessonUi.h"
#include "ui/link/LinkUi.h"
#include "ui/morse/SoundUi.h"

ReceiveModeSelection::ReceiveModeSelection(const PracticeWindow& form, QuillNetModule& module,
                                           PracticeSettings& settings, QObject* parent)
    : QObject(parent), m_form(form), m_module(module), m_settings(settings) {
    const LessonUi& ui = m_form.ui;
    const LinkUi& linkUi = m_form.linkUi;
    // The modes, and the speeds, are enabled and disabled together.
    WatchEnabled(ui.StepMode_Option,
                 [&choices = m_form.choices](bool enabled) { choices.setModesOpen(enabled); });
    WatchEnabled(m_form.soundUi.SpeedFree_Option,
                 [&choices = m_form.choices](bool enabled) { choices.setSpeedsOpen(enabled); });
    OnSelected(ui.StepMode_Option, this, [this] { MainForm_StepMode_Option_Click(); });
    OnSelected(ui.NormalMode_Option, this, [this] { MainForm_NormalMode_Option_Click(); });
    for (const Speed& speed : kSpeeds) {
        OnSelected(SpeedOption(m_form.soundUi, speed), this,
                   [this, &speed] { SpeedSelected(speed); });
    }
    OnSelected(m_form.soundUi.SpeedFree_Option, this, [this] { FreeSpeedSelected(); });
    // New figures while the free speed stays selected are told as a new selection would be.
    connect(&m_settings, &PracticeSettings::changed, this, [this] {
        if (m_settings.freeSpeed() && m_announcedFigures &&
            m_settings.freeFigures() != *m_announcedFigures) {
            FreeSpeedSelected();
        }
    });
    OnSelected(linkUi.optionMoji, this, [this] { MainForm_optionMoji_Click(); });
    OnSelected(linkUi.optionCw, this, [this] { MainForm_optionCw_Click(); });
}

void ReceiveModeSelection::selectReceiveMode(bool step) {
    if (step) {
        SelectAndRun(m_form.ui.StepMode_Option, [this] { MainForm_StepMode_Option_Click(); });
    } else {
        SelectAndRun(m_form.ui.NormalMode_Option, [this] { MainForm_NormalMode_Option_Click(); });
    }
}

void ReceiveModeSelection::selectSpeed(int perMinute) {
    if (const Speed* speed = SpeedForPerMinute(perMinute)) {
        SelectAndRun(SpeedOption(m_form.soundUi, *speed), [this, speed] { SpeedSelected(*speed); });
    }
}

void ReceiveModeSelection::selectChatKind(bool cw) {
    if (cw) {
        SelectAndRun(m_form.linkUi.optionCw, [this] { MainForm_optionCw_Click(); });
    } else {
        SelectAndRun(m_form.linkUi.optionMoji, [this] { MainForm_optionMoji_Click(); });
    }
}

int ReceiveModeSelection::selectedSpeed() const {
    if (const std::optional<FreeSpeed> free = chosenFreeSpeed()) {
        return NearestFixedSpeed(*free);
    }
    const Speed* speed = SelectedSpeed(m_form.soundUi);
    return speed != nullptr ? speed->perMinute : 0;
}

void ReceiveModeSelection::selectFreeSpeed(const FreeSpeed& speed) {
    m_settings.setFreeFigures(speed);
    SelectAndRun(m_form.soundUi.SpeedFree_Option, [this] { FreeSpeedSelected(); });
}

std::optional<FreeSpeed> ReceiveModeSelection::chosenFreeSpeed() const {
    return m_settings.freeSpeed();
}

void ReceiveModeSelection::MainForm_StepMode_Option_Click() {
    receiveModeSelected(true);
}

void ReceiveModeSelection::MainForm_NormalMode_Option_Click() {
    receiveModeSelected(false);
}

void ReceiveModeSelection::receiveModeSelected(bool step) {
    const LessonUi& ui = m_form.ui;
    const LinkUi& linkUi = m_form.linkUi;
    LinkState& s = m_form.link;
    ui.Label1->clear();
    // Normal mode has no correct count.
    ui.Label2->setEnabled(step);
    ui.Label4->setEnabled(true);
    for (QPushButton* button : ui.answerButtons) {
        button->setEnabled(step);
    }
    linkUi.SendMessageText->setReadOnly(true);
    SetEnabled({linkUi.SendMessageButton, linkUi.optionMoji, linkUi.optionCw}, false);
    SetEnabled({ui.StartButton_Command, ui.StopButton_Command}, true);
    ui.KaitoupassButton_Command->setEnabled(step);
    if (m_form.choices.answerer() && m_form.choices.modesOpen()) {
        m_module.SendNetMessage(MessageType::Mode, step ? ModeCode::kStep : ModeCode::kNormal);
        m_module.SendChosenSpeed();
    }
    s.myMode = step ? LinkMode::Step : LinkMode::Normal;
    // The setter's window selects the mode too when the peer reports it; its answerer label
    // already shows the peer and must not be given the setter's own callsign.
    if (m_form.choices.answerer()) {
        linkUi.StudentLabel->setText(RoleCaption::AnswererSelf(s));
    }
}

void ReceiveModeSelection::SpeedSelected(const Speed& speed) {
    m_announcedFigures.reset();
    speedChosen(speed, std::nullopt);
}

void ReceiveModeSelection::FreeSpeedSelected() {
    const FreeSpeed& free = m_settings.freeFigures();
    m_announcedFigures = free;
    speedChosen(*SpeedForPerMinute(NearestFixedSpeed(free)), free);
}

void ReceiveModeSelection::speedChosen(const Speed& speed, const std::optional<FreeSpeed>& free) {
    const LinkUi& linkUi = m_form.linkUi;
    LinkState& s = m_form.link;
    const bool answerer = m_form.choices.answerer() && m_form.choices.speedsOpen();
    const bool chat = m_form.choices.chatMode();
    if (answerer != chat) {
        m_module.SendNetMessage(MessageType::Speed, speed.wireCode.toString());
        // After the code, which an original peer follows; it ignores this.
        if (free) {
            m_module.SendNetMessage(MessageType::Speed, ExactSpeedPayload(*free));
        }
    }
    const QString exact = free ? ExactSpeedCaption(*free) : QString();
    if (chat) {
        s.mySpeed = speed.perMinute;
        s.myExactSpeed = exact;
        linkUi.TeacherLabel->setText(RoleCaption::ChatSelf(s));
    } else if (m_form.choices.stepMode() != m_form.choices.normalMode()) {
        s.mySpeed = speed.perMinute;
        s.myExactSpeed = exact;
        // As with the modes: only the answerer's own window names itself as the answerer.
        if (m_form.choices.answerer()) {
            linkUi.StudentLabel->setText(RoleCaption::AnswererSelf(s));
        }
    }
}

void ReceiveModeSelection::MainForm_optionMoji_Click() {
    const LinkUi& linkUi = m_form.linkUi;
    LinkState& s = m_form.link;
    for (QLineEdit* box : {linkUi.CallsignText, linkUi.ConnectIpText, m_form.soundUi.ToneText}) {
        box->setReadOnly(true);
    }
    linkUi.SendMessageText->setReadOnly(false);
    if (m_form.choices.chatMode()) {
        m_module.SendNetMessage(MessageType::Mode, ModeCode::kTextChat);
        m_module.ShowLog();
        s.myMode = LinkMode::TextChat;
        linkUi.TeacherLabel->setText(RoleCaption::ChatTextSelf(s));
        s.peerMode = LinkMode::TextChat;
        linkUi.StudentLabel->setText(RoleCaption::ChatTextPeer(s));
    }
    linkUi.SendMessageText->setFocus();
}

void ReceiveModeSelection::MainForm_optionCw_Click() {
    const LinkUi& linkUi = m_form.linkUi;
    LinkState& s = m_form.link;
    if (!m_form.choices.chatMode()) {
        return;
    }
    s.cwChatBuffer = kCwChatOpening;
    linkUi.ChatText->setPlainText(s.cwChatBuffer);
    m_module.SendNetMessage(MessageType::Mode, ModeCode::kCwChat);
    m_module.SendChosenSpeed();
    s.myMode = LinkMode::CwChat;
    linkUi.TeacherLabel->setText(RoleCaption::ChatSelf(s));
    linkUi.SendMessageText->setReadOnly(false);
    m_form.soundUi.ToneText->setReadOnly(false);
    linkUi.SendMessageText->setFocus();
}
