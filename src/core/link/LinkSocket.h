#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;

// The TCP end of the peer link over QTcpServer and QTcpSocket, with the states and events the
// window's handlers expect of it. Every event reaches them from a queued call, one per pass of
// the event loop and in arrival order, so a handler may wait (and let later events run inside
// its wait) without Qt's socket signals being re-entered.
class LinkSocket : public QObject {
    Q_OBJECT
  public:
    enum class State { Closed, Listening, Connecting, Connected, Closing, Error };

    explicit LinkSocket(QObject* parent = nullptr);
    ~LinkSocket() override;

    State state() const { return m_state; }

    // Failing to listen is reported as an error event. On every address unless given one.
    void listen(quint16 port, const QHostAddress& address = QHostAddress::Any);
    void connectTo(const QString& host, quint16 port);
    // Takes the connection that the last connection request announced. It is the only one:
    // listening has stopped when the request came.
    void accept();
    // Where the connection that the last request announced comes from; null when none waits.
    QHostAddress requestAddress() const;
    // Closes that connection unanswered and goes on listening for another.
    void refuse();
    // Ends whatever is going on; events not yet delivered are dropped.
    void close();
    // One call, one message; nothing happens unless connected.
    bool send(const QByteArray& bytes);

    // The address last connected to, or the peer's address once a request was accepted.
    QString remoteHost() const { return m_remoteHost; }
    // The peer's address once a link stood; null from the next listen or connect on.
    QHostAddress peerAddress() const { return m_peerAddress; }
    // An address as users write it: an IPv4 peer reached through a dual-stack socket shows as
    // ::ffff:a.b.c.d, users know a.b.c.d.
    static QString AddressText(const QHostAddress& address);
    // Changes with every connection made and every close, so that a handler that waited can
    // tell that its link has gone.
    quint64 linkSerial() const { return m_serial; }

    // Events or unsent bytes still on their way, and a connect attempt under way.
    bool hasPendingWork() const;
    // The open descriptors (listener, connection), for tests that watch bytes in flight.
    QList<qintptr> descriptors() const;

  signals:
    // linkSerial() changed: a link was made or has ended.
    void linkSerialChanged();
    void connectionRequest();
    void connected();
    void peerClosed();
    void errorOccurred(const QString& description);
    // One receive larger than the cap, or more waiting than the cap: the link is cut.
    void overflowed();
    void dataArrival(const QByteArray& message);
    void sendProgress();
    void sendComplete();

  private:
    enum class Event { ConnectionRequest, Connected, PeerClosed, Error, Overflow, Message };
    struct Item {
        Event event;
        QByteArray data;
        QString text;
    };

    void post(Event event, const QByteArray& data = {}, const QString& text = {});
    void postDrain();
    void drain();
    void deliver(const Item& item);

    void adopt(QTcpSocket* socket);
    void nextLink();
    void onNewConnection();
    void onConnected();
    void onReadyRead();
    void onSocketError();
    void onDisconnected();
    void onBytesWritten();
    void dropSocket(QPointer<QTcpSocket>& socket);

    State m_state = State::Closed;
    QTcpServer* m_server = nullptr;
    QPointer<QTcpSocket> m_socket;
    QPointer<QTcpSocket> m_request;
    QString m_remoteHost;
    QHostAddress m_peerAddress;
    QList<Item> m_inbox;
    qsizetype m_inboxBytes = 0;
    // Handlers that wait let later events run inside them; this bounds how deep that goes.
    static constexpr int kMaxDeliveryDepth = 32;
    int m_deliveryDepth = 0;
    bool m_drainPosted = false;
    quint64 m_serial = 0;
};
