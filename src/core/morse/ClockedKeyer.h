#pragma once

#include <limits>

#include "core/kit/Clock.h"
#include "core/morse/Keyer.h"

// Runs a keyer on a clock: contacts come with the time the key moved, and the keyer is woken at
// each of its deadlines, so the same keyer runs live and on a test's virtual clock. Its time
// never goes back: a contact stamped before what the keyer has already run to counts as of then.
class ClockedKeyer {
  public:
    ClockedKeyer(Clock& clock, Keyer& keyer) : m_clock(clock), m_keyer(keyer) {}
    ~ClockedKeyer();
    ClockedKeyer(const ClockedKeyer&) = delete;
    ClockedKeyer& operator=(const ClockedKeyer&) = delete;

    // at: when the contact moved, on the clock (no later than now).
    void contact(Paddle paddle, bool down, qint64 at);
    void releaseAll();

  private:
    qint64 advance(qint64 at);
    void wake(qint64 due);
    void schedule();

    Clock& m_clock;
    Keyer& m_keyer;
    qint64 m_time = std::numeric_limits<qint64>::min();
    Clock::TimerId m_timer = 0;
    bool m_scheduled = false;
};
