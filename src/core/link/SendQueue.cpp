#include "core/link/SendQueue.h"

#include <QScopeGuard>

namespace {

// How often a write still in progress is looked at again.
constexpr int kCompletionPollMs = 1;

}  // namespace

SendQueue::SendQueue(Clock& clock, std::function<bool()> previousDone, QObject* parent)
    : QObject(parent), m_clock(clock), m_previousDone(std::move(previousDone)) {
    connect(&m_clock, &Clock::quitRequested, this, &SendQueue::flush);
}

SendQueue::~SendQueue() {
    if (m_timer) {
        m_clock.cancel(*m_timer);
    }
}

void SendQueue::push(std::function<void()> write) {
    m_writes.push_back(std::move(write));
    // A write that queues another is followed by the step that wrote it.
    if (m_writes.size() == 1 && !m_timer && !m_stepping) {
        m_phase = Phase::AwaitingCompletion;
        m_awaitingSince = m_clock.now();
        step();
    }
}

void SendQueue::step() {
    m_timer.reset();
    if (m_clock.quitting()) {
        flush();
        return;
    }
    m_stepping = true;
    const auto done = qScopeGuard([this] { m_stepping = false; });
    while (!m_writes.empty()) {
        const qint64 now = m_clock.now();
        if (m_phase == Phase::AwaitingCompletion) {
            if (!m_previousDone() && now - m_awaitingSince < kCompletionLimitMs) {
                stepAt(now + kCompletionPollMs);
                return;
            }
            m_phase = Phase::Pausing;
            stepAt(now + kPauseMs);
            return;
        }
        const std::function<void()> write = std::move(m_writes.front());
        m_writes.pop_front();
        m_phase = Phase::AwaitingCompletion;
        m_awaitingSince = now;
        write();
    }
    emit drained();
}

void SendQueue::stepAt(qint64 due) {
    m_timer = m_clock.scheduleAt(due, [this] { step(); });
}

void SendQueue::flush() {
    if (m_timer) {
        m_clock.cancel(*m_timer);
        m_timer.reset();
    }
    const bool any = !m_writes.empty();
    while (!m_writes.empty()) {
        const std::function<void()> write = std::move(m_writes.front());
        m_writes.pop_front();
        write();
    }
    if (any) {
        emit drained();
    }
}
