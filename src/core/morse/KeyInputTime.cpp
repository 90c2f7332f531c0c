#include "core/morse/KeyInputTime.h"

qint64 KeyInputTime::at(quint64 stamp, qint64 now) {
    if (stamp == 0 || stamp > quint64{1} << 62) {
        return now;
    }
    const qint64 offset = now - static_cast<qint64>(stamp);
    if (!m_offset || offset < *m_offset || offset - *m_offset > kLongestWaitMs) {
        m_offset = offset;
    }
    return static_cast<qint64>(stamp) + *m_offset;
}
