#include "core/kit/Clock.h"

#include <QPointer>
#include <limits>
#include <utility>

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

void RunAfter(Clock& clock, QObject* context, int ms, std::function<void()> step) {
    const QPointer<QObject> guarded(context);
    clock.scheduleAt(clock.now() + ms, [&clock, guarded, step = std::move(step)] {
        if (guarded && !clock.quitting()) {
            step();
        }
    });
}

void QueuedStep::request() {
    if (std::exchange(m_queued, true)) {
        return;
    }
    RunAfter(m_clock, m_context, 0, [this] {
        m_queued = false;
        m_step();
    });
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
