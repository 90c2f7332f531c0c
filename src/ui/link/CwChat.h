#pragma once

#include <QObject>

#include "ui/link/NetWindow.h"

class ChatSession;

// What CW chat shows: the transcript, the input box after a sent line, the stop and tone test
// buttons, the speeds while keys are heard, the own chat status and a received empty text.
class CwChat : public QObject {
    Q_OBJECT
  public:
    CwChat(NetWindow& window, ChatSession& session, QObject* parent = nullptr);

  private:
    NetWindow& m_w;
};
