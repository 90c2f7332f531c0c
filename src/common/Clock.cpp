#include "common/Clock.h"

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
