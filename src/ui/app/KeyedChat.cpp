#include "ui/app/KeyedChat.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "core/link/ChatSession.h"
#include "core/link/SessionChoices.h"
#include "ui/link/LinkUi.h"
#include "ui/morse/KeyingPad.h"

KeyedChat::KeyedChat(const LinkUi& ui, const SessionChoices& choices, Clock& clock,
                     ChatSession& chat, QObject* parent)
    : QObject(parent),
      m_ui(ui),
      m_choices(choices),
      m_chat(chat),
      m_toggle(new QCheckBox(QStringLiteral("手送り(&J)"))),
      m_pad(new KeyingPad(clock)) {
    m_toggle->setObjectName(QStringLiteral("KeyedChatCheck"));
    m_toggle->setToolTip(QStringLiteral("CWチャットを電鍵やパドルで送ります"));
    m_toggle->setAccessibleDescription(m_toggle->toolTip());
    m_pad->setObjectName(QStringLiteral("KeyedChatPad"));
    m_pad->hide();
    m_pad->setCompact(true);  // the chat's frame has no room for the hint
    // Under the chat input, in the chat's own frame.
    QWidget* frame = ui.SendMessageText->parentWidget();
    if (auto* layout = qobject_cast<QBoxLayout*>(frame->layout())) {
        layout->addWidget(m_toggle);
        layout->addWidget(m_pad);
    }
    // In the Tab chain right after the chat's send button, where the keyed line is sent from.
    QWidget::setTabOrder(ui.SendMessageButton, m_toggle);
    QWidget::setTabOrder(m_toggle, m_pad);
    connect(m_toggle, &QCheckBox::toggled, this, &KeyedChat::update);
    connect(&choices, &SessionChoices::chatKindChanged, this, &KeyedChat::update);
    connect(&choices, &SessionChoices::modeChanged, this, &KeyedChat::update);
    connect(m_pad, &KeyingPad::characterDecoded, this, [this](const QString& text) {
        if (!m_shown) {
            return;
        }
        // A word space goes out only before the next word: a pause at the end of a line sends
        // nothing more than typing the line would.
        if (text == u" ") {
            m_spaceWaiting = true;
            return;
        }
        if (m_spaceWaiting) {
            m_waiting << QStringLiteral(" ");
            m_spaceWaiting = false;
        }
        m_waiting << text;
        QMetaObject::invokeMethod(this, &KeyedChat::sendWaiting, Qt::QueuedConnection);
    });
    update();
}

KeyedChat::~KeyedChat() {
    // The pad's sidetone belongs to the menu that is going; so does the pad.
    delete m_pad;
    delete m_toggle;
}

void KeyedChat::sendWaiting() {
    if (m_sending) {
        return;
    }
    m_sending = true;
    while (!m_waiting.isEmpty()) {
        m_chat.SendHandKeyedChar(m_waiting.takeFirst());
    }
    m_sending = false;
}

void KeyedChat::update() {
    const bool cwChat = m_choices.chatMode() && m_choices.chatKind() == ChatKind::Cw;
    m_toggle->setEnabled(cwChat);
    const bool shown = cwChat && m_toggle->isChecked();
    if (shown == m_shown) {
        return;
    }
    m_shown = shown;
    m_spaceWaiting = false;
    m_pad->reset();
    m_pad->setVisible(shown);
    if (shown) {
        m_pad->setFocus();
        emit padShown();
    } else {
        emit padHidden();
    }
}
