#include "support/VirtualClock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <limits>

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

bool VirtualClock::runNextDue(qint64 deadline) {
    auto next = m_queue.begin();
    if (next == m_queue.end() || next->first.first > deadline) {
        return false;
    }
    m_now = qMax(m_now, next->first.first);
    auto action = std::move(next->second);
    m_queue.erase(next);
    action();
    runEvents();
    return true;
}

void VirtualClock::waitUntil(qint64 deadline) {
    runEvents();
    while (!quitting()) {
        settle();
        if (!runNextDue(deadline)) {
            break;
        }
    }
    if (!quitting()) {
        m_now = qMax(m_now, deadline);
        runEvents();
    }
}

bool VirtualClock::waitForRealEvents(const std::function<bool()>& done) {
    // Nothing is scheduled that could end the wait: only events from outside the clock can
    // (a real socket, a timer of the test). A test that forgot to end the wait fails here
    // instead of hanging.
    QDeadlineTimer limit(5000);
    while (!limit.hasExpired() && !quitting()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
        if (done() || !m_queue.empty()) {
            return true;
        }
    }
    // Fails the running test: a window left open or an answer never given is a fault of the test
    // or of the program, not something to wait out.
    QTest::qFail("VirtualClock: a wait for a condition has nothing left that could end it",
                 __FILE__, __LINE__);
    return false;
}

bool VirtualClock::waitFor(const std::function<bool()>& done, qint64 deadline) {
    runEvents();
    while (!quitting()) {
        if (done()) {
            return true;
        }
        settle();
        if (done()) {
            return true;
        }
        if (runNextDue(deadline)) {
            continue;
        }
        if (deadline != std::numeric_limits<qint64>::max()) {
            m_now = qMax(m_now, deadline);
            runEvents();
            return done();
        }
        if (!waitForRealEvents(done)) {
            return false;
        }
    }
    return false;
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
