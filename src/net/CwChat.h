#pragma once

#include <QObject>
#include <QString>

#include "net/NetWindow.h"

class CharacterDispatch;
class QuillNetModule;

// CW chat: a line sent from the input box, heard by both sides as Morse, and the received texts.
class CwChat : public QObject {
    Q_OBJECT
  public:
    // Whether a text is this side's own (heard as it is sent) or the peer's.
    enum class Form { Sending, Receiving };

    CwChat(NetWindow& window, QuillNetModule& module, CharacterDispatch& dispatch,
           QObject* parent = nullptr);

    // The send button in CW chat with a text in the box.
    void SendCwChatLine(const QString& text);

    // Sounds the text with the chat table, character by character; the receiving form tells the
    // peer that it is being heard.
    void PlayCwChatText(const QString& text, Form form);

  private:
    NetWindow& m_w;
    QuillNetModule& m_module;
    CharacterDispatch& m_dispatch;
};
