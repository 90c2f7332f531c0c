#pragma once

#include <QByteArray>
#include <QObject>

#include "core/kit/ClockTimer.h"

class Clock;
class PingSocket;

// The presence ping's two datagrams, as both ends send them.
namespace PresenceDatagram {
inline const QByteArray Ping = QByteArrayLiteral("quill");
inline const QByteArray Answer = QByteArrayLiteral("1");
}  // namespace PresenceDatagram

// Answers the peer's pings, 100 ms after each, at most one answer pending. Any host can send
// anything to the ping port: a ping arriving while an answer waits gets none of its own, so a
// flood costs one answer every 100 ms and nothing piles up. The answer waits on the clock, never
// inside a wait of its own.
class PingAnswerer : public QObject {
    Q_OBJECT
  public:
    PingAnswerer(Clock& clock, PingSocket& socket, QObject* parent = nullptr);

    // Whether the datagram is exactly the ping (then answered, unless an answer is pending).
    bool take(const QByteArray& datagram);

  private:
    void answer();

    PingSocket& m_socket;
    ClockTimer m_timer;
};
