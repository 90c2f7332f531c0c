#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QUdpSocket;

// The UDP end of the presence ping. Only datagrams from the peer are taken: from the remote
// host it was bound with, or from the address the TCP link reports for the peer.
class PingSocket : public QObject {
    Q_OBJECT
  public:
    explicit PingSocket(QObject* parent = nullptr);

    // A port already in use leaves the socket closed: the ping then goes unanswered, as a
    // silent peer's would.
    bool bind(const QString& remoteHost, quint16 remotePort, quint16 localPort);
    void close();
    bool isBound() const;
    void acceptFrom(const QHostAddress& peer);

    // To the remote host and port; nothing while closed.
    void send(const QByteArray& datagram);

    // Datagrams waiting in the system or not yet delivered.
    bool hasPendingWork() const;

    // Whether two addresses name the same host, an IPv4 address and its IPv6-mapped form alike.
    static bool SameHost(const QHostAddress& a, const QHostAddress& b);

  signals:
    // From a queued call: the handler may wait.
    void datagramArrival(const QByteArray& datagram);

  private:
    void onReadyRead();
    bool fromPeer(const QHostAddress& sender) const;

    QUdpSocket* m_socket = nullptr;
    QList<QHostAddress> m_peers;
    quint16 m_remotePort = 0;
    int m_undelivered = 0;
    int m_generation = 0;
    int m_lookup = -1;
};
