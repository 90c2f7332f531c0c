#include "morse/SoundServerProbe.h"

#include <unistd.h>
#include <QLocalSocket>
#include <QStringList>

namespace {

bool Answers(const QString& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    return socket.waitForConnected(500);
}

}  // namespace

bool SoundServerReachable(const QString& pulseServer, const QString& runtimeDir) {
    if (pulseServer.trimmed().isEmpty()) {
        const QString dir =
            runtimeDir.isEmpty() ? QStringLiteral("/run/user/%1").arg(::getuid()) : runtimeDir;
        return Answers(dir + QStringLiteral("/pulse/native"));
    }
    // A list of servers, tried in turn; a local one is a path, with or without "unix:".
    for (QString server : pulseServer.split(u' ', Qt::SkipEmptyParts)) {
        if (server.startsWith(QStringLiteral("unix:"))) {
            server.remove(0, 5);
        }
        if (!server.startsWith(u'/') || Answers(server)) {
            return true;
        }
    }
    return false;
}

bool SoundServerReachable() {
    return SoundServerReachable(qEnvironmentVariable("PULSE_SERVER"),
                                qEnvironmentVariable("XDG_RUNTIME_DIR"));
}
