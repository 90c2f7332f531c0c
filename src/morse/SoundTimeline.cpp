#include "morse/SoundTimeline.h"

namespace {
constexpr qint64 kTenthsPerMs = SoundTimeline::kSampleRate / 100;  // 441
}

void SoundTimeline::catchUp(qint64 writePosition) {
    if (end() <= writePosition) {
        m_anchor = writePosition + kLeadSamples;
        m_tenths = 0;
    }
}

qint64 SoundTimeline::addMs(int ms) {
    const qint64 start = end();
    m_tenths += static_cast<qint64>(qMax(ms, 0)) * kTenthsPerMs;
    return start;
}

qint64 SoundTimeline::addSamples(qint64 samples) {
    const qint64 start = end();
    m_tenths += qMax<qint64>(samples, 0) * 10;
    return start;
}

void SoundTimeline::restartAt(qint64 writePosition) {
    m_anchor = writePosition;
    m_tenths = 0;
}

qint64 SamplesAfterMs(qint64 ms) {
    return ms * kTenthsPerMs / 10;
}

qint64 MsToReachSamples(qint64 samples) {
    if (samples <= 0) {
        return 0;
    }
    // To the nearest ms: a position is a whole number of ms rounded to the nearest sample.
    return (samples * 10 + kTenthsPerMs / 2) / kTenthsPerMs;
}
