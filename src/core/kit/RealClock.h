#pragma once

#include <QElapsedTimer>
#include <QHash>

#include "core/kit/Clock.h"

class QTimer;

// Monotonic wall clock. Waiting runs a nested event loop that sleeps until an
// event arrives or the deadline passes, so a wait costs no CPU.
class RealClock : public Clock {
    Q_OBJECT
  public:
    explicit RealClock(QObject* parent = nullptr);

    qint64 now() const override;
    void waitUntil(qint64 deadline) override;
    bool waitFor(const std::function<bool()>& done, qint64 deadline) override;
    void block(int ms) override;
    TimerId scheduleAt(qint64 due, std::function<void()> action) override;
    void cancel(TimerId id) override;

  private:
    QElapsedTimer m_elapsed;
    QHash<TimerId, QTimer*> m_timers;
    TimerId m_nextId = 1;
};
