#pragma once

#include <QList>
#include <map>

#include "core/kit/Clock.h"

// Scheduler for tests: a wait jumps to its deadline, firing every action due
// before it in deadline order and letting pending events run in between.
class VirtualClock : public Clock {
    Q_OBJECT
  public:
    explicit VirtualClock(qint64 start = 0, QObject* parent = nullptr);

    qint64 now() const override { return m_now; }
    void waitUntil(qint64 deadline) override;
    bool waitFor(const std::function<bool()>& done, qint64 deadline) override;
    void block(int ms) override;
    TimerId scheduleAt(qint64 due, std::function<void()> action) override;
    void cancel(TimerId id) override;

    // Time stands still while any of these says work is still in flight (for
    // example bytes on a real loopback socket), so a wait never outruns it.
    void addBusyCheck(std::function<bool()> busy);

    // How many times a wait let events run (to test the waiting rules).
    int eventPasses() const { return m_eventPasses; }

  private:
    void runEvents();
    void settle();
    bool runNextDue(qint64 deadline);
    bool waitForRealEvents(const std::function<bool()>& done);

    qint64 m_now;
    // Keyed by (due, id) so that equal deadlines fire in the order they were set.
    std::map<std::pair<qint64, TimerId>, std::function<void()>> m_queue;
    QList<std::function<bool()>> m_busyChecks;
    TimerId m_nextId = 1;
    int m_eventPasses = 0;
};
