#pragma once

#include <QObject>

#include "core/link/LinkWindow.h"
#include "ui/kit/LabelBlink.h"
#include "ui/kit/WindowOpening.h"
#include "ui/link/NetWindow.h"

class NetConnection;
class PracticeSide;
class QuillNetModule;
class TextChat;

// The main window as the link session renders it: the role lines, the log, the controls a message
// opens or closes, the options it selects, the blinks and the ready notice.
class LinkView : public QObject, public LinkWindow {
    Q_OBJECT
  public:
    LinkView(NetWindow& window, QuillNetModule& module, NetConnection& connection,
             TextChat& textChat, QObject* parent = nullptr);

    // The practice side, told to the session too.
    void setPracticeSide(PracticeSide* practice);

    void showLog() override;
    void showCwChatOpening() override;
    void setTeacherLine(const QString& caption, Colour colour) override;
    void setStudentLine(const QString& caption, Colour colour) override;
    void peerJoined() override;
    void takeRole(bool setter) override;
    void takeChat(bool cw) override;
    void questionArrived() override;
    void setRoleControlsEnabled(bool enabled) override;
    void peerKeyingEnded() override;
    void showReadyNotice() override;
    void blinkWhileTesting() override;
    void blinkWhileComposing() override;

  private:
    NetWindow& m_w;
    QuillNetModule& m_module;
    NetConnection& m_connection;
    TextChat& m_textChat;
    PracticeSide* m_practice = nullptr;
    Blinker m_testingBlink;
    Blinker m_composingBlink;
    OneAtATime m_readyNotice;
};
