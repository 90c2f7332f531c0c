#include "core/link/PingCounter.h"

PingCounter::Next PingCounter::pingSent() {
    ++m_countRetry;
    if (m_countRetry == 2) {
        return Next::Shorten;
    }
    if (m_countRetry == 6) {
        m_countRetry = 0;
        return Next::PeerLost;
    }
    return Next::Keep;
}
