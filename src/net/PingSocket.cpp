#include "net/PingSocket.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>

PingSocket::PingSocket(QObject* parent) : QObject(parent), m_socket(new QUdpSocket(this)) {
    connect(m_socket, &QUdpSocket::readyRead, this, &PingSocket::onReadyRead);
}

bool PingSocket::bind(const QString& remoteHost, quint16 remotePort, quint16 localPort) {
    close();
    m_remotePort = remotePort;
    const QHostAddress literal(remoteHost.trimmed());
    if (!literal.isNull()) {
        m_peers.append(literal);
    } else if (!remoteHost.trimmed().isEmpty()) {
        m_lookup = QHostInfo::lookupHost(remoteHost.trimmed(), this, [this](const QHostInfo& info) {
            m_lookup = -1;
            m_peers.append(info.addresses());
        });
    }
    return m_socket->bind(QHostAddress::Any, localPort);
}

void PingSocket::close() {
    ++m_generation;
    if (m_lookup != -1) {
        QHostInfo::abortHostLookup(m_lookup);
        m_lookup = -1;
    }
    m_socket->close();
    m_peers.clear();
    m_undelivered = 0;
}

bool PingSocket::isBound() const {
    return m_socket->state() == QAbstractSocket::BoundState;
}

void PingSocket::acceptFrom(const QHostAddress& peer) {
    if (!peer.isNull() && !fromPeer(peer)) {
        m_peers.append(peer);
    }
}

void PingSocket::send(const QByteArray& datagram) {
    if (!isBound() || m_peers.isEmpty()) {
        return;
    }
    m_socket->writeDatagram(datagram, m_peers.first(), m_remotePort);
}

bool PingSocket::hasPendingWork() const {
    return m_undelivered > 0 || (isBound() && m_socket->hasPendingDatagrams());
}

bool PingSocket::SameHost(const QHostAddress& a, const QHostAddress& b) {
    return a.isEqual(b, QHostAddress::ConvertV4MappedToIPv4);
}

bool PingSocket::fromPeer(const QHostAddress& sender) const {
    return std::any_of(m_peers.cbegin(), m_peers.cend(),
                       [&sender](const QHostAddress& peer) { return SameHost(peer, sender); });
}

void PingSocket::onReadyRead() {
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        if (!fromPeer(datagram.senderAddress())) {
            continue;
        }
        ++m_undelivered;
        QMetaObject::invokeMethod(
            this,
            [this, generation = m_generation, data = datagram.data()]() {
                if (generation != m_generation) {
                    return;
                }
                --m_undelivered;
                emit datagramArrival(data);
            },
            Qt::QueuedConnection);
    }
}
