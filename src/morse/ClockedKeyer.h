#pragma once

#include "common/Clock.h"
#include "morse/Keyer.h"

// Runs a keyer on a clock: contacts are stamped with the clock's time, and the keyer is woken
// at each of its deadlines, so the same keyer runs live and on a test's virtual clock.
class ClockedKeyer {
  public:
    ClockedKeyer(Clock& clock, Keyer& keyer) : m_clock(clock), m_keyer(keyer) {}
    ~ClockedKeyer();
    ClockedKeyer(const ClockedKeyer&) = delete;
    ClockedKeyer& operator=(const ClockedKeyer&) = delete;

    void contact(Paddle paddle, bool down);
    void releaseAll();

  private:
    void wake();
    void schedule();

    Clock& m_clock;
    Keyer& m_keyer;
    Clock::TimerId m_timer = 0;
    bool m_scheduled = false;
};
