#include "core/morse/ClockedKeyer.h"

#include <algorithm>

ClockedKeyer::~ClockedKeyer() {
    if (m_scheduled) {
        m_clock.cancel(m_timer);
    }
}

qint64 ClockedKeyer::advance(qint64 at) {
    m_time = std::clamp(at, m_time, std::max(m_time, m_clock.now()));
    return m_time;
}

void ClockedKeyer::contact(Paddle paddle, bool down, qint64 at) {
    m_keyer.contact(paddle, down, advance(at));
    schedule();
}

void ClockedKeyer::releaseAll() {
    m_keyer.releaseAll(advance(m_clock.now()));
    schedule();
}

void ClockedKeyer::wake(qint64 due) {
    m_scheduled = false;
    // Only to the deadline, even when woken late: a contact that moved since, still waiting
    // among the events, is then taken in before the keyer decides what follows.
    m_keyer.advanceTo(advance(due));
    schedule();
}

void ClockedKeyer::schedule() {
    if (m_scheduled) {
        m_clock.cancel(m_timer);
        m_scheduled = false;
    }
    const qint64 due = m_keyer.nextDeadline();
    if (due != Keyer::kNoDeadline) {
        m_timer = m_clock.scheduleAt(due, [this, due] { wake(due); });
        m_scheduled = true;
    }
}
