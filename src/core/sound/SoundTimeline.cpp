#include "core/sound/SoundTimeline.h"

namespace {
constexpr qint64 kTenthsPerMs = SoundTimeline::kSampleRate / 100;  // 441
}

SoundPosition SoundTimeline::addMs(int ms) {
    const SoundPosition start = end();
    m_tenths += static_cast<qint64>(qMax(ms, 0)) * kTenthsPerMs;
    return start;
}

SoundPosition SoundTimeline::addSamples(qint64 samples) {
    const SoundPosition start = end();
    m_tenths += qMax<qint64>(samples, 0) * 10;
    return start;
}

void SoundTimeline::restartAt(SoundPosition position) {
    m_anchor = position;
    m_tenths = 0;
}

void SoundTimeline::restartAtTenths(qint64 tenths) {
    m_anchor = tenths / 10;
    m_tenths = tenths % 10;
}

qint64 SamplesAfterMs(qint64 ms) {
    // Rounded as the timeline rounds, so a position planned n ms on is heard n ms on.
    return (ms * kTenthsPerMs + 5) / 10;
}

qint64 MsToReachSamples(qint64 samples) {
    if (samples <= 0) {
        return 0;
    }
    // To the nearest ms: a position is a whole number of ms rounded to the nearest sample.
    return (samples * 10 + kTenthsPerMs / 2) / kTenthsPerMs;
}

double SamplesToMs(qint64 samples) {
    return static_cast<double>(samples) * 1000.0 / SoundTimeline::kSampleRate;
}
