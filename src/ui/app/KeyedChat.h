#pragma once

#include <QCheckBox>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "ui/morse/KeyingPad.h"

class Clock;
class ChatSession;
class SessionChoices;
struct LinkUi;

// Keying by hand in CW chat: the "手送り" box under the chat input shows a keying pad, and every
// character decoded from it goes to the peer as a typed one does.
class KeyedChat : public QObject {
    Q_OBJECT
  public:
    KeyedChat(const LinkUi& ui, const SessionChoices& choices, Clock& clock, ChatSession& chat,
              QObject* parent = nullptr);
    ~KeyedChat() override;

    KeyingPad& pad() const { return *m_pad; }
    QCheckBox* toggle() const { return m_toggle; }

  signals:
    void padShown();
    void padHidden();

  private:
    void update();
    void sendWaiting();

    const LinkUi& m_ui;
    const SessionChoices& m_choices;
    ChatSession& m_chat;
    QPointer<QCheckBox> m_toggle;
    QPointer<KeyingPad> m_pad;
    bool m_shown = false;
    // Decoded characters not yet sent. Sending waits with events running, so it never runs
    // inside the decoder, and characters decoded meanwhile go out after it, in order.
    QStringList m_waiting;
    bool m_spaceWaiting = false;  // a word space decoded, sent with the next character
    bool m_sending = false;
};
