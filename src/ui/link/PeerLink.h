#pragma once

#include <QObject>

#include "core/link/ChatSession.h"
#include "core/link/LinkSocket.h"
#include "core/link/PingSocket.h"
#include "core/link/QuillNetModule.h"
#include "ui/link/AddressTools.h"
#include "ui/link/CwChat.h"
#include "ui/link/LinkView.h"
#include "ui/link/NetConnection.h"
#include "ui/link/NetWindow.h"
#include "ui/link/PresencePing.h"
#include "ui/link/TextChat.h"

class CharacterDispatch;

// The whole peer link of one main window: its two sockets, the message layer, connection and
// roles, the presence ping, text and CW chat (its session and what it shows) and the address tools.
// Each part is a member that connects its own controls when it is made.
class PeerLink : public QObject {
    Q_OBJECT
  public:
    PeerLink(NetWindow window, CharacterDispatch& dispatch, QObject* parent = nullptr);

    // Start-up: both sockets closed unless closed already; the own address shown.
    void PrepareAtStartUp();
    // Program end: both sockets closed.
    void MainForm_Form_Unload();

    // Events, bytes or datagrams of this window still on their way (for the test clock).
    bool hasWorkInFlight() const;

    QuillNetModule& module() { return m_module; }
    LinkView& view() { return m_view; }
    NetConnection& connection() { return m_connection; }
    PresencePing& ping() { return m_ping; }
    TextChat& textChat() { return m_textChat; }
    ChatSession& cwChat() { return m_chatSession; }
    AddressTools& addressTools() { return m_addressTools; }
    LinkSocket& winsock1() { return m_winsock1; }
    PingSocket& winsock2() { return m_winsock2; }

  private:
    NetWindow m_window;
    LinkSocket m_winsock1;
    PingSocket m_winsock2;
    QuillNetModule m_module;
    NetConnection m_connection;
    PresencePing m_ping;
    ChatSession m_chatSession;
    CwChat m_cwChat;
    TextChat m_textChat;
    LinkView m_view;
    AddressTools m_addressTools;
};
