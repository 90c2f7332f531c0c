#include "net/TextChat.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/Clock.h"
#include "common/LinkState.h"
#include "net/NetControls.h"
#include "net/QuillNetModule.h"
#include "common/RoleCaptions.h"

using namespace Qt::StringLiterals;

namespace {

const QString kTextChatMode = u"文字チャットモード"_s;
constexpr int kCwSendDelayMs = 100;

}  // namespace

TextChat::TextChat(NetWindow& window, QuillNetModule& module, NetHooks& hooks, QObject* parent)
    : QObject(parent), m_w(window), m_module(module), m_hooks(hooks) {}

void TextChat::MainForm_ChatMode_Option_Click() {
    const MainFormUi& ui = m_w.ui;
    ui.Label1->clear();
    NetControls::SetColour(ui.Label1, NetControls::kBlack);
    ui.Label2->setEnabled(false);
    ui.Label4->setEnabled(false);
    ui.StartButton_Command->setEnabled(false);
    ui.StopButton_Command->setEnabled(false);
    ui.KaitoupassButton_Command->setEnabled(false);
    ui.TeacherOption->setEnabled(true);
    ui.StudentOption->setEnabled(true);
    NetControls::Deselect(ui.TeacherOption);
    NetControls::Deselect(ui.StudentOption);
    ui.SendMessageText->setReadOnly(false);
    ui.SendMessageButton->setEnabled(true);
    ui.optionMoji->setEnabled(true);
    ui.optionCw->setEnabled(true);
    ui.StepMode_Option->setEnabled(false);
    ui.NormalMode_Option->setEnabled(false);
    NetControls::SetSpeedControlsEnabled(ui, true);
    if (ui.optionMoji->isChecked()) {
        m_module.SendNetMessage(3, u"0"_s);
        ui.SendMessageText->setFocus();
    } else if (ui.optionCw->isChecked()) {
        m_module.SendNetMessage(3, u"1"_s);
        ui.ToneText->setReadOnly(false);
        if (const auto speed = NetControls::SelectedSpeed(ui)) {
            m_w.link.mySpeed = speed->text;
            m_module.SendNetMessage(4, speed->code);
        }
        QuillNetModule::ShowLabel(ui.TeacherLabel, RoleCaption::ChatSelf(m_w.link));
        ui.SendMessageText->setFocus();
    }
}

void TextChat::MainForm_optionMoji_Click() {
    const MainFormUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    ui.CallsignText->setReadOnly(true);
    ui.ConnectIpText->setReadOnly(true);
    ui.ToneText->setReadOnly(true);
    ui.SendMessageText->setReadOnly(false);
    if (ui.ChatMode_Option->isChecked()) {
        m_module.SendNetMessage(3, u"0"_s);
        m_module.ShowLog();
        s.myMode = kTextChatMode;
        ui.TeacherLabel->setText(s.myCallsign + u'[' + s.myMode + u']');
        s.peerMode = kTextChatMode;
        ui.StudentLabel->setText(s.peerCallsign + u'[' + s.peerMode + u']');
    }
    ui.SendMessageText->setFocus();
}

void TextChat::MainForm_SendMessageText_Change() {
    const bool empty = m_w.ui.SendMessageText->text().isEmpty();
    if (!empty && !m_typingNoticeSent) {
        m_typingNoticeSent = true;
        m_module.SendNetMessage(8, u"0"_s);
    } else if (empty) {
        m_module.SendNetMessage(8, u"5"_s);
        m_typingNoticeSent = false;
    }
}

void TextChat::MainForm_SendMessageButton_Click() {
    const MainFormUi& ui = m_w.ui;
    if (!ui.ChatMode_Option->isChecked()) {
        return;
    }
    if (ui.optionMoji->isChecked()) {
        m_module.SendNetMessage(1);
        ui.SendMessageText->clear();
        ui.SendMessageText->setFocus();
    } else if (ui.optionCw->isChecked() && !ui.SendMessageText->text().isEmpty()) {
        sendCwChatLine(ui.SendMessageText->text());
    }
}

void TextChat::sendCwChatLine(const QString& text) {
    const MainFormUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    Delay(m_w.clock, kCwSendDelayMs);
    m_module.SendNetMessage(9, text);
    s.cwChatBuffer += s.myCallsign + u" > "_s + text + u"\r\n"_s;
    ui.ChatText->setPlainText(s.cwChatBuffer);
    // The line stays in the box while the sender hears it.
    m_hooks.PlayCwChatText(text, false);
    ui.SendMessageText->clear();
    ui.SendMessageText->setFocus();
}
