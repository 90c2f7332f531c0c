#pragma once

#include <QObject>

#include "core/kit/Clock.h"

// A periodic timer on a Clock, with the enabled/interval model of the window's
// timers: enabling (or changing the interval while enabled) starts a new period.
class ClockTimer : public QObject {
    Q_OBJECT
  public:
    ClockTimer(Clock& clock, int intervalMs, QObject* parent = nullptr);
    ~ClockTimer() override;

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    void setInterval(int intervalMs);
    int interval() const { return m_interval; }

  signals:
    void timeout();

  private:
    void restart();
    void stop();

    Clock& m_clock;
    int m_interval;
    bool m_enabled = false;
    Clock::TimerId m_pending = 0;
};
