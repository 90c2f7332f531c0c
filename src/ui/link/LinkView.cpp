#include "ui/link/LinkView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/link/PracticeSide.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/link/LessonPanel.h"
#include "ui/link/LinkUi.h"
#include "ui/link/NetConnection.h"
#include "ui/link/RoleLayout.h"
#include "ui/link/TextChat.h"
#include "ui/morse/SoundUi.h"

using namespace Qt::StringLiterals;

namespace {

void ShowLine(QLabel* label, const QString& caption, LinkWindow::Colour colour) {
    switch (colour) {
        case LinkWindow::Colour::Unchanged:
            label->setText(caption);
            break;
        case LinkWindow::Colour::Black:
            ShowLabel(label, caption, kBlack);
            break;
        case LinkWindow::Colour::Red:
            ShowLabel(label, caption, kRed);
            break;
    }
}

}  // namespace

LinkView::LinkView(NetWindow& window, QuillNetModule& module, NetConnection& connection,
                   TextChat& textChat, QObject* parent)
    : QObject(parent),
      m_w(window),
      m_module(module),
      m_connection(connection),
      m_textChat(textChat),
      m_testingBlink(window.clock),
      m_composingBlink(window.clock) {
    m_module.setWindow(this);
    m_connection.setView(this);
}

void LinkView::setPracticeSide(PracticeSide* practice) {
    m_practice = practice;
    m_module.setPracticeSide(practice);
}

void LinkView::showLog() {
    m_w.ui.ChatText->setPlainText(m_module.log().text());
}

void LinkView::showCwChatOpening() {
    m_w.ui.ChatText->setPlainText(kCwChatOpening);
}

void LinkView::setTeacherLine(const QString& caption, Colour colour) {
    ShowLine(m_w.ui.TeacherLabel, caption, colour);
}

void LinkView::setStudentLine(const QString& caption, Colour colour) {
    ShowLine(m_w.ui.StudentLabel, caption, colour);
}

void LinkView::peerJoined() {
    SetEnabled({m_w.ui.TeacherOption, m_w.ui.StudentOption, m_w.ui.SendMessageButton}, true);
}

void LinkView::takeRole(bool setter) {
    const LinkUi& ui = m_w.ui;
    if (setter) {
        SelectAndRun(ui.TeacherOption, [this] { m_connection.MainForm_TeacherOption_Click(); });
    } else {
        SelectAndRun(ui.StudentOption, [this] { m_connection.MainForm_StudentOption_Click(); });
    }
    ApplyRoleControls(m_w.soundUi, m_w.lessonPanel, setter);
    if (!setter) {
        m_w.lessonPanel.setPassEnabled(true);
    }
}

void LinkView::takeChat(bool cw) {
    const LinkUi& ui = m_w.ui;
    SelectAndRun(ui.ChatMode_Option, [this] { m_textChat.MainForm_ChatMode_Option_Click(); });
    if (m_practice != nullptr) {
        m_practice->selectChatKind(cw);
    }
    if (!cw) {
        ui.SendMessageText->setReadOnly(false);
        ui.SendMessageText->setFocus();
    }
}

void LinkView::questionArrived() {
    m_w.lessonPanel.setMainButtonEnabled(true);
    m_w.lessonPanel.showMainButton(MainButton::Start);
}

void LinkView::setRoleControlsEnabled(bool enabled) {
    m_w.lessonPanel.setMainButtonEnabled(enabled);
    SetEnabled({m_w.ui.TeacherOption, m_w.ui.StudentOption}, enabled);
}

void LinkView::peerKeyingEnded() {
    setRoleControlsEnabled(true);
    SetSpeedControlsEnabled(m_w.soundUi, true);
    m_w.lessonPanel.setAnswerButtonsEnabled(true);
}

void LinkView::showReadyNotice() {
    // A peer that repeats the message gets one box, not a stack of them.
    m_readyNotice.open([this] {
        m_w.desktop.showMessage(&m_w.window, DesktopServices::Icon::Information, u"お知らせ"_s,
                                u"解答者は受信準備が完了しています。「出題」ボタンを押して"
                                u"問題作成を開始して下さい。"_s);
    });
}

void LinkView::blinkWhileTesting() {
    // A blink already running shows the new status.
    const quint64 serial = m_module.linkSerial();
    const LinkState& s = m_module.link();
    m_testingBlink.start({m_w.ui.StudentLabel, [&s] { return RoleCaption::AnswererStatus(s); },
                          [this] { return m_module.testSettled(); }, [] { return false; },
                          [this, serial] { return m_module.linkGoneSince(serial); }});
}

void LinkView::blinkWhileComposing() {
    const quint64 serial = m_module.linkSerial();
    const LinkState& s = m_module.link();
    const auto chatMode = [this] { return m_w.choices.chatMode(); };
    m_composingBlink.start(
        {m_w.ui.TeacherLabel, [&s] { return RoleCaption::SetterPeer(s); },
         [this, chatMode] { return m_module.composingSettled(chatMode()); }, chatMode,
         [this, serial] { return m_module.linkGoneSince(serial); }},
        [this, chatMode, serial] {
            if (!chatMode() || m_module.linkGoneSince(serial)) {
                return;
            }
            const LinkUi& ui = m_w.ui;
            if (m_w.choices.chatKind() != ChatKind::None) {
                m_module.takeChatAfterComposing(m_w.choices.chatKind() == ChatKind::Cw);
                ui.SendMessageText->setFocus();
            }
        });
}
