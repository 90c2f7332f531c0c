#include "core/link/PingSocket.h"

#include <QHostInfo>
#include <QUdpSocket>
#include <algorithm>
#include <array>

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
    if (m_lookup != -1) {
        QHostInfo::abortHostLookup(m_lookup);
        m_lookup = -1;
    }
    m_socket->close();
    m_peers.clear();
}

bool PingSocket::isBound() const {
    return m_socket->state() == QAbstractSocket::BoundState;
}

void PingSocket::acceptFrom(const QHostAddress& peer) {
    if (!peer.isNull() && !isPeerHost(peer)) {
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
    return isBound() && m_socket->hasPendingDatagrams();
}

bool PingSocket::SameHost(const QHostAddress& a, const QHostAddress& b) {
    return a.isEqual(b, QHostAddress::ConvertV4MappedToIPv4);
}

bool PingSocket::isPeerHost(const QHostAddress& address) const {
    return std::any_of(m_peers.cbegin(), m_peers.cend(),
                       [&address](const QHostAddress& peer) { return SameHost(peer, address); });
}

void PingSocket::onReadyRead() {
    // Reading re-arms the socket's notifier: what is left is read in a later pass.
    for (int read = 0; read < kDatagramsPerPass && isBound() && m_socket->hasPendingDatagrams();
         ++read) {
        // One byte more than the longest taken: a longer datagram shows as too long, and the
        // system drops its rest without it ever being copied here.
        std::array<char, kLongestDatagram + 1> buffer{};
        QHostAddress sender;
        const qint64 size = m_socket->readDatagram(buffer.data(), buffer.size(), &sender);
        if (size < 0 || size > kLongestDatagram || !isPeerHost(sender)) {
            continue;
        }
        emit datagramArrival(QByteArray(buffer.data(), size));
    }
}
