#pragma once

#include "core/kit/Clock.h"
#include "core/sound/SoundTimeline.h"

// The timeline without a sound server: sample positions pass at the output's rate on the clock,
// from an anchor on, counted in tenths of a sample as the timeline counts them, so a position
// planned n ms after another is heard exactly n ms after it.
class SilentTimeline {
  public:
    explicit SilentTimeline(const Clock& clock) : m_clock(clock), m_anchorMs(clock.now()) {}

    // Where the timeline is now, in tenths of a sample.
    qint64 heardTenths() const {
        return m_anchorTenths + (m_clock.now() - m_anchorMs) * kTenthsPerMs;
    }
    SoundPosition heard() const { return (heardTenths() + 5) / 10; }
    // The first clock time at which the position counts as heard.
    qint64 dueTime(SoundPosition position) const {
        const qint64 tenths = position * 10 - 5 - m_anchorTenths;
        return m_anchorMs + (tenths <= 0 ? 0 : (tenths + kTenthsPerMs - 1) / kTenthsPerMs);
    }
    // From now on the timeline goes on from the position.
    void anchor(SoundPosition position) {
        m_anchorTenths = position * 10;
        m_anchorMs = m_clock.now();
    }

  private:
    static constexpr qint64 kTenthsPerMs = SoundTimeline::kSampleRate / 100;

    const Clock& m_clock;
    qint64 m_anchorTenths = 0;
    qint64 m_anchorMs;
};
