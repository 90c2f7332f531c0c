#include "ui/link/CwChat.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/link/ChatSession.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/link/LinkUi.h"
#include "ui/morse/SoundUi.h"

using namespace Qt::StringLiterals;

CwChat::CwChat(NetWindow& window, ChatSession& session, QObject* parent)
    : QObject(parent), m_w(window) {
    const LinkUi& ui = m_w.ui;
    connect(ui.StopCwReceiveButton, &QPushButton::clicked, &session, &ChatSession::StopCwReceive);
    connect(&session, &ChatSession::transcriptChanged, this,
            [this] { m_w.ui.ChatText->setPlainText(m_w.link.cwChatBuffer); });
    connect(&session, &ChatSession::handKeyedSent, this, [this](const QString& text) {
        QTextCursor end(m_w.ui.ChatText->document());
        end.movePosition(QTextCursor::End);
        end.insertText(text);
    });
    connect(&session, &ChatSession::lineHeardBySender, this, [this] {
        m_w.ui.SendMessageText->clear();
        m_w.ui.SendMessageText->setFocus();
    });
    connect(&session, &ChatSession::soundingChanged, this,
            [this](bool sounding) { m_w.soundUi.toneTestButton->setEnabled(!sounding); });
    connect(&session, &ChatSession::receivingChanged, ui.StopCwReceiveButton,
            &QPushButton::setEnabled);
    connect(&session, &ChatSession::ownStatusChanged, this,
            [this] { m_w.ui.TeacherLabel->setText(RoleCaption::ChatStatusSelf(m_w.link)); });
    connect(&session, &ChatSession::keyingChanged, this,
            [this](bool keying) { SetSpeedControlsEnabled(m_w.soundUi, !keying); });
    connect(&session, &ChatSession::emptyTextReceived, this, [this] {
        m_w.desktop.showMessage(&m_w.window, DesktopServices::Icon::Critical, u"CW受信エラー"_s,
                                u"CW受信が出来ません｡"_s);
    });
}
