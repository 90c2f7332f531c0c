// Time from SendNetMessage on one side to DispatchNetMessage on the other over loopback:
// median and maximum over 200 chat lines, with and without the 10 ms pause before each send.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/kit/LinkState.h"
#include "core/kit/RealClock.h"
#include "core/link/LinkSocket.h"
#include "core/link/QuillNetModule.h"

namespace {

// One side of the link: its session alone, no window.
struct Side {
    explicit Side(RealClock& clock)
        : module(link, socket, clock, [] { return QDateTime::currentDateTime(); }) {
        link.sendDone = true;
        link.myCallsign = QStringLiteral("JA1BNC");
    }
    LinkState link;
    LinkSocket socket;
    QuillNetModule module;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    RealClock clock;
    Side listener(clock);
    Side connector(clock);

    QObject::connect(&listener.socket, &LinkSocket::connectionRequest, [&listener] {
        listener.socket.close();
        listener.socket.accept();
    });
    QTcpServer probe;  // finds a free port for the adapter to listen on
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    listener.socket.listen(port);
    connector.socket.connectTo(QStringLiteral("127.0.0.1"), port);
    WaitUntil(clock, [&] {
        return listener.socket.state() == LinkSocket::State::Connected &&
               connector.socket.state() == LinkSocket::State::Connected;
    });

    QElapsedTimer timer;
    timer.start();
    qint64 called = 0;
    qint64 sent = 0;
    int dispatched = 0;
    std::vector<double> total;
    std::vector<double> wire;
    QObject::connect(&connector.socket, &LinkSocket::sendProgress,
                     [&] { sent = timer.nsecsElapsed(); });
    QObject::connect(&listener.socket, &LinkSocket::dataArrival, [&](const QByteArray& data) {
        const qint64 now = timer.nsecsElapsed();
        total.push_back(double(now - called) / 1e6);
        wire.push_back(double(now - sent) / 1e6);
        listener.module.DispatchNetMessage(data);
        ++dispatched;
    });

    const int messages = 200;
    for (int i = 0; i < messages; ++i) {
        called = timer.nsecsElapsed();
        connector.module.SendNetMessage(1, QStringLiteral("こんにちは %1").arg(i));
        WaitUntil(clock, [&] { return dispatched > i; });
    }
    std::printf("net_bench: %d chat lines over loopback\n", messages);
    std::printf("  SendNetMessage call -> DispatchNetMessage: median %.3f ms, max %.3f ms\n",
                Median(total), *std::max_element(total.begin(), total.end()));
    std::printf("  socket send -> DispatchNetMessage:         median %.3f ms, max %.3f ms\n",
                Median(wire), *std::max_element(wire.begin(), wire.end()));
    return 0;
}
