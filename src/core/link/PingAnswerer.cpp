#include "core/link/PingAnswerer.h"

#include "core/link/PingSocket.h"

namespace {

constexpr int kAnswerDelayMs = 100;

}  // namespace

PingAnswerer::PingAnswerer(Clock& clock, PingSocket& socket, QObject* parent)
    : QObject(parent), m_socket(socket), m_timer(clock, kAnswerDelayMs) {
    connect(&m_timer, &ClockTimer::timeout, this, &PingAnswerer::answer);
}

bool PingAnswerer::take(const QByteArray& datagram) {
    if (datagram != PresenceDatagram::Ping) {
        return false;
    }
    m_timer.setEnabled(true);  // no restart while one is pending
    return true;
}

void PingAnswerer::answer() {
    m_timer.setEnabled(false);
    // Nothing goes out once the socket is closed.
    m_socket.send(PresenceDatagram::Answer);
}
