#include "morse/ClockedKeyer.h"

ClockedKeyer::~ClockedKeyer() {
    if (m_scheduled) {
        m_clock.cancel(m_timer);
    }
}

void ClockedKeyer::contact(Paddle paddle, bool down) {
    m_keyer.contact(paddle, down, m_clock.now());
    schedule();
}

void ClockedKeyer::releaseAll() {
    m_keyer.releaseAll(m_clock.now());
    schedule();
}

void ClockedKeyer::wake() {
    m_scheduled = false;
    m_keyer.advanceTo(m_clock.now());
    schedule();
}

void ClockedKeyer::schedule() {
    if (m_scheduled) {
        m_clock.cancel(m_timer);
        m_scheduled = false;
    }
    const qint64 due = m_keyer.nextDeadline();
    if (due != Keyer::kNoDeadline) {
        m_timer = m_clock.scheduleAt(due, [this] { wake(); });
        m_scheduled = true;
    }
}
