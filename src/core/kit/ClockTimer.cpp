#include "core/kit/ClockTimer.h"

ClockTimer::ClockTimer(Clock& clock, int intervalMs, QObject* parent)
    : QObject(parent), m_clock(clock), m_interval(intervalMs) {}

ClockTimer::~ClockTimer() {
    stop();
}

void ClockTimer::setEnabled(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    enabled ? restart() : stop();
}

void ClockTimer::setInterval(int intervalMs) {
    m_interval = intervalMs;
    if (m_enabled) {
        restart();
    }
}

void ClockTimer::stop() {
    if (m_pending != 0) {
        m_clock.cancel(m_pending);
        m_pending = 0;
    }
}

void ClockTimer::restart() {
    stop();
    if (m_interval <= 0) {
        return;
    }
    m_pending = m_clock.scheduleAt(m_clock.now() + m_interval, [this]() {
        m_pending = 0;
        // The next period is scheduled before the handler runs, as a window
        // timer keeps ticking while its handler waits.
        restart();
        emit timeout();
    });
}
