#pragma once

#include <poll.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <algorithm>

#include "core/link/LinkSocket.h"
#include "support/VirtualClock.h"

// A raw TCP peer for a session's own link socket, on a free local port: it records every byte
// it receives, and virtual time stands still while bytes are on their way either way.
class RawLinkPeer {
  public:
    // Connects socket to this peer; a failure fails the running test.
    void link(LinkSocket& socket, VirtualClock& clock) {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        socket.connectTo(QStringLiteral("127.0.0.1"), m_server.serverPort());
        QVERIFY(QTest::qWaitFor([this] { return m_server.hasPendingConnections(); }));
        m_socket = m_server.nextPendingConnection();
        QVERIFY(
            QTest::qWaitFor([&socket] { return socket.state() == LinkSocket::State::Connected; }));
        clock.addBusyCheck([this, &socket] {
            if (socket.hasPendingWork() || Readable(m_socket->socketDescriptor())) {
                return true;
            }
            const QList<qintptr> own = socket.descriptors();
            return std::any_of(own.begin(), own.end(), Readable);
        });
        QObject::connect(m_socket, &QTcpSocket::readyRead,
                         [this] { received += m_socket->readAll(); });
    }

    QTcpSocket* socket() const { return m_socket; }
    QByteArray received;

  private:
    static bool Readable(qintptr descriptor) {
        pollfd watched{static_cast<int>(descriptor), POLLIN, 0};
        return descriptor != -1 && ::poll(&watched, 1, 0) > 0;
    }

    QTcpServer m_server;
    QTcpSocket* m_socket = nullptr;
};
