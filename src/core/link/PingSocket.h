#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QUdpSocket;

// The UDP end of the presence ping. Only datagrams from the peer are taken: from the remote
// host it was bound with, or from the address the TCP link reports for the peer. Whatever
// arrives, the socket holds no more than a few bytes of it at a time: a flood waits in the
// system's bounded buffer, and the window's other events run between the reads.
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

    // Datagrams waiting in the system.
    bool hasPendingWork() const;

    // Whether the address is the peer's host as the socket knows it: the remote host it was
    // bound with (once its name is looked up), or the address the TCP link reported.
    bool isPeerHost(const QHostAddress& address) const;

    // Whether two addresses name the same host, an IPv4 address and its IPv6-mapped form alike.
    static bool SameHost(const QHostAddress& a, const QHostAddress& b);

  signals:
    // A datagram of the peer's host, emitted as it is read: the handler must not wait.
    void datagramArrival(const QByteArray& datagram);

  private:
    // The longest datagram delivered; a longer one is dropped unread.
    static constexpr int kLongestDatagram = 8;
    // Read in one pass of the event loop at most.
    static constexpr int kDatagramsPerPass = 64;

    void onReadyRead();

    QUdpSocket* m_socket = nullptr;
    QList<QHostAddress> m_peers;
    quint16 m_remotePort = 0;
    int m_lookup = -1;
};
