#pragma once

#include <QObject>

#include "ui/link/NetWindow.h"

class ChatSession;
class QuillNetModule;

// Chat mode, the typing notice and the send button, for text chat and for a CW chat line. The
// chat kinds are chosen with the receive modes.
class TextChat : public QObject {
    Q_OBJECT
  public:
    TextChat(NetWindow& window, QuillNetModule& module, ChatSession& chat,
             QObject* parent = nullptr);

    void MainForm_ChatMode_Option_Click();
    void MainForm_SendMessageText_Change();
    void MainForm_SendMessageButton_Click();

  private:
    NetWindow& m_w;
    QuillNetModule& m_module;
    ChatSession& m_chat;
};
