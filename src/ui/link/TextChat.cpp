#include "ui/link/TextChat.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/kit/SpeedTable.h"
#include "core/link/ChatSession.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/link/LessonPanel.h"
#include "ui/link/LinkUi.h"
#include "ui/morse/SoundUi.h"

TextChat::TextChat(NetWindow& window, QuillNetModule& module, ChatSession& chat, QObject* parent)
    : QObject(parent), m_w(window), m_module(module), m_chat(chat) {
    const LinkUi& ui = m_w.ui;
    OnSelected(ui.ChatMode_Option, this, [this] { MainForm_ChatMode_Option_Click(); });
    connect(ui.SendMessageText, &QLineEdit::textChanged, this,
            &TextChat::MainForm_SendMessageText_Change);
    connect(ui.SendMessageButton, &QPushButton::clicked, this,
            &TextChat::MainForm_SendMessageButton_Click);
    // Enter sends as the button does, and only when it could be pressed.
    connect(ui.SendMessageText, &QLineEdit::returnPressed, ui.SendMessageButton,
            &QPushButton::click);
}

void TextChat::MainForm_ChatMode_Option_Click() {
    const LinkUi& ui = m_w.ui;
    m_w.lessonPanel.enterChat();
    SetEnabled({ui.TeacherOption, ui.StudentOption}, true);
    Deselect(ui.TeacherOption);
    Deselect(ui.StudentOption);
    ui.SendMessageText->setReadOnly(false);
    SetEnabled({ui.SendMessageButton, ui.optionMoji, ui.optionCw}, true);
    m_w.lessonPanel.setReceiveModesEnabled(false);
    SetSpeedControlsEnabled(m_w.soundUi, true);
    if (m_w.choices.chatKind() == ChatKind::Text) {
        m_module.SendNetMessage(MessageType::Mode, ModeCode::kTextChat);
        ui.SendMessageText->setFocus();
    } else if (m_w.choices.chatKind() == ChatKind::Cw) {
        m_module.SendNetMessage(MessageType::Mode, ModeCode::kCwChat);
        m_w.soundUi.ToneText->setReadOnly(false);
        m_module.SendChosenSpeed();
        ui.TeacherLabel->setText(RoleCaption::ChatSelf(m_w.link));
        ui.SendMessageText->setFocus();
    }
}

void TextChat::MainForm_SendMessageText_Change() {
    m_chat.inputChanged(m_w.ui.SendMessageText->text().isEmpty());
}

void TextChat::MainForm_SendMessageButton_Click() {
    const LinkUi& ui = m_w.ui;
    if (!m_w.choices.chatMode()) {
        return;
    }
    if (m_w.choices.chatKind() == ChatKind::Text) {
        m_chat.SendTextLine(ui.SendMessageText->text());
        ui.SendMessageText->clear();
        ui.SendMessageText->setFocus();
    } else if (m_w.choices.chatKind() == ChatKind::Cw && !ui.SendMessageText->text().isEmpty()) {
        m_chat.SendCwChatLine(ui.SendMessageText->text());
    }
}
