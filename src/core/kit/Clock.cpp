#include "core/kit/Clock.h"

#include <limits>

void Clock::requestQuit() {
    if (m_quitting) {
        return;
    }
    m_quitting = true;
    emit quitRequested();
}

void Delay(Clock& clock, int ms) {
    if (ms <= 0 || clock.quitting()) {
        return;
    }
    clock.waitUntil(clock.now() + ms);
}

bool WaitUntil(Clock& clock, const std::function<bool()>& done, int timeoutMs) {
    if (clock.quitting()) {
        return false;
    }
    if (done()) {
        return true;
    }
    const qint64 deadline =
        timeoutMs < 0 ? std::numeric_limits<qint64>::max() : clock.now() + timeoutMs;
    return clock.waitFor(done, deadline);
}
