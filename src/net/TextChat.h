#pragma once

#include <QObject>

#include "net/NetHooks.h"
#include "net/NetWindow.h"

class QuillNetModule;

// Chat mode, the text-chat kind, the typing notice and the send button.
class TextChat : public QObject {
    Q_OBJECT
  public:
    TextChat(NetWindow& window, QuillNetModule& module, NetHooks& hooks, QObject* parent = nullptr);

    void MainForm_ChatMode_Option_Click();
    void MainForm_optionMoji_Click();
    void MainForm_SendMessageText_Change();
    void MainForm_SendMessageButton_Click();

  private:
    void sendCwChatLine(const QString& text);

    NetWindow& m_w;
    QuillNetModule& m_module;
    NetHooks& m_hooks;
    bool m_typingNoticeSent = false;
};
