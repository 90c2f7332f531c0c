#include "support/VirtualClock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

VirtualClock::VirtualClock(qint64 start, QObject* parent) : Clock(parent), m_now(start) {}

void VirtualClock::runEvents() {
    ++m_eventPasses;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void VirtualClock::settle() {
    // Bounded in real time so that a check that never clears cannot hang a test.
    QDeadlineTimer limit(5000);
    for (const auto& busy : std::as_const(m_busyChecks)) {
        while (busy() && !limit.hasExpired() && !quitting()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            10);
        }
    }
}

void VirtualClock::waitUntil(qint64 deadline) {
    runEvents();
    while (!quitting()) {
        settle();
        auto next = m_queue.begin();
        if (next == m_queue.end() || next->first.first > deadline) {
            break;
        }
        m_now = qMax(m_now, next->first.first);
        auto action = std::move(next->second);
        m_queue.erase(next);
        action();
        runEvents();
    }
    if (!quitting()) {
        m_now = qMax(m_now, deadline);
        runEvents();
    }
}

void VirtualClock::block(int ms) {
    if (ms > 0 && !quitting() && !blockingInterrupted()) {
        m_now += ms;
    }
}

Clock::TimerId VirtualClock::scheduleAt(qint64 due, std::function<void()> action) {
    const TimerId id = m_nextId++;
    m_queue.emplace(std::make_pair(due, id), std::move(action));
    return id;
}

void VirtualClock::cancel(TimerId id) {
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
        if (it->first.second == id) {
            m_queue.erase(it);
            return;
        }
    }
}

void VirtualClock::addBusyCheck(std::function<bool()> busy) {
    m_busyChecks.append(std::move(busy));
}
