#pragma once

#include <QObject>

#include "net/NetHooks.h"
#include "net/NetWindow.h"

class AddressTools;
class LinkSocket;
class NetConnection;
class PingSocket;
class PresencePing;
class QuillNetModule;
class TextChat;

// The whole peer link of one main window: its two sockets, the message layer, connection and
// roles, the presence ping, text chat and the address tools, attached to the window's controls.
class PeerLink : public QObject {
    Q_OBJECT
  public:
    explicit PeerLink(NetWindow window, QObject* parent = nullptr);
    ~PeerLink() override;

    // Start-up: both sockets closed unless closed already; the own address shown.
    void PrepareAtStartUp();
    // Program end: both sockets closed.
    void MainForm_Form_Unload();

    // Events, bytes or datagrams of this window still on their way (for the test clock).
    bool hasWorkInFlight() const;

    NetHooks& hooks() { return m_hooks; }
    QuillNetModule& module() { return *m_module; }
    NetConnection& connection() { return *m_connection; }
    PresencePing& ping() { return *m_ping; }
    TextChat& chat() { return *m_chat; }
    AddressTools& addressTools() { return *m_addressTools; }
    LinkSocket& winsock1() { return *m_winsock1; }
    PingSocket& winsock2() { return *m_winsock2; }

  private:
    void connectControls();

    NetWindow m_window;
    NetHooks m_hooks;
    LinkSocket* m_winsock1;
    PingSocket* m_winsock2;
    QuillNetModule* m_module;
    NetConnection* m_connection;
    PresencePing* m_ping;
    TextChat* m_chat;
    AddressTools* m_addressTools;
};
