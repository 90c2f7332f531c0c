#include "core/link/LinkSocket.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "core/link/WireCodec.h"

LinkSocket::LinkSocket(QObject* parent) : QObject(parent), m_server(new QTcpServer(this)) {
    m_server->setMaxPendingConnections(1);
    connect(m_server, &QTcpServer::newConnection, this, &LinkSocket::onNewConnection);
}

LinkSocket::~LinkSocket() {
    close();
    dropSocket(m_request);
}

void LinkSocket::listen(quint16 port, const QHostAddress& address) {
    close();
    dropSocket(m_request);
    m_peerAddress.clear();
    if (m_server->listen(address, port)) {
        m_state = State::Listening;
        return;
    }
    m_state = State::Error;
    post(Event::Error, {}, m_server->errorString());
}

void LinkSocket::connectTo(const QString& host, quint16 port) {
    close();
    dropSocket(m_request);
    m_remoteHost = host;
    m_peerAddress.clear();
    m_state = State::Connecting;
    auto* socket = new QTcpSocket(this);
    adopt(socket);
    socket->connectToHost(host, port);
}

void LinkSocket::accept() {
    if (!m_request) {
        return;
    }
    dropSocket(m_socket);
    QTcpSocket* socket = m_request;
    m_request = nullptr;
    socket->setParent(this);
    adopt(socket);
    m_peerAddress = socket->peerAddress();
    m_remoteHost = AddressText(m_peerAddress);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        m_state = State::Closing;
        post(Event::PeerClosed);
        return;
    }
    m_state = State::Connected;
    nextLink();
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // What came before the accept has been buffered without a signal to us.
    if (socket->bytesAvailable() > 0) {
        QMetaObject::invokeMethod(this, &LinkSocket::onReadyRead, Qt::QueuedConnection);
    }
}

QHostAddress LinkSocket::requestAddress() const {
    return m_request ? m_request->peerAddress() : QHostAddress();
}

void LinkSocket::refuse() {
    dropSocket(m_request);
    if (m_state == State::Listening) {
        m_server->resumeAccepting();
    }
}

QString LinkSocket::AddressText(const QHostAddress& address) {
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4).toString() : address.toString();
}

void LinkSocket::close() {
    m_server->close();
    if (m_socket) {
        m_socket->flush();
    }
    dropSocket(m_socket);
    m_inbox.clear();
    m_inboxBytes = 0;
    m_state = State::Closed;
    nextLink();
}

bool LinkSocket::send(const QByteArray& bytes) {
    if (m_state != State::Connected || !m_socket) {
        return false;
    }
    emit sendProgress();
    m_socket->write(bytes);
    m_socket->flush();
    return true;
}

bool LinkSocket::hasPendingWork() const {
    const bool deliverable = !m_inbox.isEmpty() && m_deliveryDepth < kMaxDeliveryDepth;
    return deliverable || m_state == State::Connecting ||
           (m_socket && m_socket->bytesToWrite() > 0);
}

QList<qintptr> LinkSocket::descriptors() const {
    QList<qintptr> open;
    if (m_server->isListening()) {
        open.append(m_server->socketDescriptor());
    }
    for (const QTcpSocket* socket : {m_socket.data(), m_request.data()}) {
        if (socket && socket->socketDescriptor() != -1) {
            open.append(socket->socketDescriptor());
        }
    }
    return open;
}

void LinkSocket::adopt(QTcpSocket* socket) {
    m_socket = socket;
    // Qt buffers no more than this, so a flood cannot grow memory before we see it.
    socket->setReadBufferSize(WireCodec::kReceiveCap + 1);
    connect(socket, &QTcpSocket::connected, this, &LinkSocket::onConnected);
    connect(socket, &QTcpSocket::readyRead, this, &LinkSocket::onReadyRead);
    connect(socket, &QTcpSocket::errorOccurred, this, &LinkSocket::onSocketError);
    connect(socket, &QTcpSocket::disconnected, this, &LinkSocket::onDisconnected);
    connect(socket, &QTcpSocket::bytesWritten, this, &LinkSocket::onBytesWritten);
}

void LinkSocket::dropSocket(QPointer<QTcpSocket>& socket) {
    if (!socket) {
        return;
    }
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
    socket = nullptr;
}

void LinkSocket::onNewConnection() {
    QTcpSocket* incoming = m_server->nextPendingConnection();
    if (incoming == nullptr) {
        return;
    }
    // One peer only: no further connection is taken while this one is pending or open.
    m_server->pauseAccepting();
    dropSocket(m_request);
    m_request = incoming;
    post(Event::ConnectionRequest);
}

void LinkSocket::onConnected() {
    if (sender() != m_socket || m_state != State::Connecting) {
        return;
    }
    // Nagle's delay would hold back a message and join it with the next one.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_peerAddress = m_socket->peerAddress();
    m_state = State::Connected;
    nextLink();
    post(Event::Connected);
}

void LinkSocket::onReadyRead() {
    if (!m_socket || m_state != State::Connected) {
        return;
    }
    const QByteArray received = m_socket->readAll();
    if (received.isEmpty()) {
        return;
    }
    if (received.size() > WireCodec::kReceiveCap ||
        m_inboxBytes + received.size() > WireCodec::kReceiveCap) {
        dropSocket(m_socket);
        m_inbox.clear();
        m_inboxBytes = 0;
        m_state = State::Closing;
        nextLink();
        post(Event::Overflow);
        return;
    }
    for (const QByteArray& message : WireCodec::Split(received)) {
        post(Event::Message, message);
    }
}

void LinkSocket::onSocketError() {
    if (sender() != m_socket) {
        return;
    }
    if (m_socket->error() == QAbstractSocket::RemoteHostClosedError) {
        onDisconnected();
        return;
    }
    if (m_state == State::Closing) {
        return;
    }
    m_state = State::Error;
    post(Event::Error, {}, m_socket->errorString());
}

void LinkSocket::onDisconnected() {
    if (sender() != m_socket || m_state != State::Connected) {
        return;
    }
    onReadyRead();
    if (m_state != State::Connected) {
        return;
    }
    m_state = State::Closing;
    post(Event::PeerClosed);
}

void LinkSocket::onBytesWritten() {
    if (m_socket && m_socket->bytesToWrite() == 0) {
        emit sendComplete();
    }
}

void LinkSocket::post(Event event, const QByteArray& data, const QString& text) {
    if (event == Event::Message) {
        m_inboxBytes += data.size();
    }
    m_inbox.append({event, data, text});
    postDrain();
}

void LinkSocket::postDrain() {
    if (m_drainPosted) {
        return;
    }
    m_drainPosted = true;
    QMetaObject::invokeMethod(this, &LinkSocket::drain, Qt::QueuedConnection);
}

void LinkSocket::drain() {
    m_drainPosted = false;
    // Too deep: the outer handlers must return first; what waits meanwhile counts against the
    // receive cap, so a peer cannot grow the stack or the inbox without bound.
    if (m_inbox.isEmpty() || m_deliveryDepth >= kMaxDeliveryDepth) {
        return;
    }
    const Item item = m_inbox.takeFirst();
    if (item.event == Event::Message) {
        m_inboxBytes -= item.data.size();
    }
    // Posted before delivering: a handler that waits lets the next event run inside its wait.
    if (!m_inbox.isEmpty()) {
        postDrain();
    }
    ++m_deliveryDepth;
    deliver(item);
    --m_deliveryDepth;
    if (!m_inbox.isEmpty()) {
        postDrain();
    }
}

void LinkSocket::deliver(const Item& item) {
    switch (item.event) {
        case Event::ConnectionRequest:
            emit connectionRequest();
            break;
        case Event::Connected:
            emit connected();
            break;
        case Event::PeerClosed:
            emit peerClosed();
            break;
        case Event::Error:
            emit errorOccurred(item.text);
            break;
        case Event::Overflow:
            emit overflowed();
            break;
        case Event::Message:
            emit dataArrival(item.data);
            break;
    }
}

void LinkSocket::nextLink() {
    ++m_serial;
    emit linkSerialChanged();
}
