// A peer of the trainer's link in a process of its own, steered by a test one line at a time on
// stdin, so that the test can kill it, freeze it or have it misbehave on the wire. It says on
// stdout what it sees. Nothing of the program is linked in: it speaks bytes, not messages.
//
//   fault_peer listen|connect <tcp port> <udp port>
//
// Commands, done in order; each ends with "ok" (those needing the link wait for it):
//   send <hex>     one write of these bytes
//   flood <bytes>  "1" and filler in one write; "ok" once the system has taken what it takes at
//                  once, the rest following as the window reads
//   shut           shuts the write side down and goes on reading
//   pings 0|1      whether "quill" is answered with "1" (it is at first)
// Reports:
//   ready            listening (listen) or connected (connect), the UDP port bound
//   connected        the link stands
//   rx <hex>         bytes read from the link
//   udp <hex>        a datagram that arrived
//   end <n> <why>    the link ended, n bytes having gone out on it
//   fatal <why>      the peer could not start
// End of input ends the process.
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QList>
#include <QNetworkDatagram>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <cerrno>
#include <cstdio>

namespace {

void Report(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class Peer {
  public:
    Peer(bool listens, quint16 tcpPort, quint16 udpPort)
        : m_listens(listens), m_tcpPort(tcpPort), m_input(STDIN_FILENO, QSocketNotifier::Read) {
        QObject::connect(&m_input, &QSocketNotifier::activated, [this] { readInput(); });
        QObject::connect(&m_udp, &QUdpSocket::readyRead, [this] { readDatagrams(); });
        if (!m_udp.bind(QHostAddress::Any, udpPort)) {
            fail("udp " + m_udp.errorString().toUtf8());
            return;
        }
        if (m_listens) {
            QObject::connect(&m_server, &QTcpServer::newConnection, [this] { take(); });
            if (!m_server.listen(QHostAddress::Any, m_tcpPort)) {
                fail("tcp " + m_server.errorString().toUtf8());
                return;
            }
            Report("ready");
        } else {
            adopt(new QTcpSocket);
            m_socket->connectToHost(QHostAddress::LocalHost, m_tcpPort);
        }
    }
    ~Peer() { delete m_socket; }

    bool started() const { return m_started; }

  private:
    void fail(const QByteArray& why) {
        Report("fatal " + why);
        m_started = false;
    }

    void take() {
        QTcpSocket* incoming = m_server.nextPendingConnection();
        if (incoming == nullptr || m_socket != nullptr) {
            delete incoming;
            return;
        }
        m_server.close();
        incoming->setParent(nullptr);
        adopt(incoming);
        linked();
    }

    void adopt(QTcpSocket* socket) {
        m_socket = socket;
        QObject::connect(socket, &QTcpSocket::connected, [this] {
            linked();
            Report("ready");
        });
        QObject::connect(socket, &QTcpSocket::readyRead, [this] {
            const QByteArray bytes = m_socket->readAll();
            if (!bytes.isEmpty()) {
                Report("rx " + bytes.toHex());
            }
        });
        QObject::connect(socket, &QTcpSocket::bytesWritten, [this](qint64 bytes) {
            m_written += bytes;
            if (m_sending && m_socket->bytesToWrite() == 0) {
                m_sending = false;
                done();
            }
        });
        QObject::connect(socket, &QTcpSocket::errorOccurred, [this] {
            ended(m_socket->error() == QAbstractSocket::RemoteHostClosedError
                      ? QByteArray("closed")
                      : m_socket->errorString().toUtf8());
        });
        QObject::connect(socket, &QTcpSocket::disconnected, [this] { ended("closed"); });
    }

    void linked() {
        // Each write of the test goes out as it is, not held back to be joined with the next.
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_linked = true;
        Report("connected");
        pump();
    }

    void ended(const QByteArray& why) {
        if (m_ended) {
            return;
        }
        m_ended = true;
        Report("end " + QByteArray::number(m_written) + ' ' + why);
        // Nothing more can go out: what waited for the link is answered, so the test never waits.
        if (m_sending) {
            m_sending = false;
            done();
        }
        pump();
    }

    void readDatagrams() {
        while (m_udp.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = m_udp.receiveDatagram();
            Report("udp " + datagram.data().toHex());
            if (m_answerPings && datagram.data() == "quill") {
                m_udp.writeDatagram("1", datagram.senderAddress(),
                                    static_cast<quint16>(datagram.senderPort()));
            }
        }
    }

    void readInput() {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            if (got == 0 || errno != EINTR) {
                m_input.setEnabled(false);
                QCoreApplication::quit();
            }
            return;
        }
        m_pendingInput.append(buffer, got);
        qsizetype end = 0;
        while ((end = m_pendingInput.indexOf('\n')) >= 0) {
            m_commands.append(m_pendingInput.left(end));
            m_pendingInput.remove(0, end + 1);
        }
        pump();
    }

    void done() {
        Report("ok");
        pump();
    }

    // Runs the commands in order; one that needs the link waits for it, a send for its bytes.
    void pump() {
        while (!m_sending && !m_commands.isEmpty()) {
            const QList<QByteArray> words = m_commands.constFirst().split(' ');
            const QByteArray& verb = words.constFirst();
            const QByteArray argument = words.value(1);
            if (verb == "pings") {
                m_answerPings = argument == "1";
                m_commands.removeFirst();
                Report("ok");
                continue;
            }
            if (!m_linked && !m_ended) {
                return;
            }
            m_commands.removeFirst();
            if (m_ended) {
                Report("ok");
            } else if (verb == "send") {
                send(QByteArray::fromHex(argument));
            } else if (verb == "flood") {
                flood(argument.toLongLong());
            } else if (verb == "shut") {
                m_socket->flush();
                ::shutdown(static_cast<int>(m_socket->socketDescriptor()), SHUT_WR);
                Report("ok");
            } else {
                Report("ok");
            }
        }
    }

    void send(const QByteArray& bytes) {
        m_socket->write(bytes);
        m_socket->flush();
        if (m_socket->bytesToWrite() > 0) {
            m_sending = true;  // "ok" once the system has taken it all
            return;
        }
        Report("ok");
    }

    // Whatever the system takes at once goes now; the rest follows as the window reads.
    void flood(qint64 size) {
        QByteArray bytes(size, 'x');
        bytes[0] = '1';
        m_socket->write(bytes);
        m_socket->flush();
        Report("ok");
    }

    bool m_listens;
    quint16 m_tcpPort;
    QSocketNotifier m_input;
    QUdpSocket m_udp;
    QTcpServer m_server;
    QTcpSocket* m_socket = nullptr;
    QByteArray m_pendingInput;
    QList<QByteArray> m_commands;
    qint64 m_written = 0;
    bool m_linked = false;
    bool m_ended = false;
    bool m_sending = false;
    bool m_answerPings = true;
    bool m_started = true;
};

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4 ||
        (arguments[1] != QStringLiteral("listen") && arguments[1] != QStringLiteral("connect"))) {
        Report("fatal usage: fault_peer listen|connect <tcp port> <udp port>");
        return 2;
    }
    Peer peer(arguments[1] == QStringLiteral("listen"), arguments[2].toUShort(),
              arguments[3].toUShort());
    return peer.started() ? app.exec() : 2;
}
