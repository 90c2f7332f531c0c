#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "core/link/PingAnswerer.h"
#include "core/link/PingCounter.h"
#include "ui/link/NetWindow.h"

class LinkSocket;
class NetConnection;
class PingSocket;
class QuillNetModule;

// Watches the peer with UDP pings while the link stands, and answers the peer's pings.
class PresencePing : public QObject {
    Q_OBJECT
  public:
    PresencePing(NetWindow& window, QuillNetModule& module, NetConnection& connection,
                 LinkSocket& winsock1, PingSocket& winsock2, QObject* parent = nullptr);

    void MainForm_RetryPingTimer_Timer();
    PingCounter::Next SendUDPPing();
    void MainForm_Winsock2_DataArrival(const QByteArray& datagram);

    qint16 countRetry() const { return m_counter.countRetry(); }
    const QString& receivePing() const { return m_receivePing; }

  private:
    NetWindow& m_w;
    QuillNetModule& m_module;
    NetConnection& m_connection;
    LinkSocket& m_winsock1;
    PingSocket& m_winsock2;
    PingCounter m_counter;
    QString m_receivePing;
    PingAnswerer m_answerer;
};
