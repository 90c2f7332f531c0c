#include "core/sound/RealSoundOutput.h"

#include <cmath>

#include "core/sound/ToneShaper.h"

namespace {
constexpr int kCheckMs = 100;
// A device still rendering this far ahead (one that was idle long, before the stream played)
// would sound everything late: the timeline stays silent until it has caught up.
constexpr int kLongestStartLatencyMs = 300;
}  // namespace

RealSoundOutput::RealSoundOutput(Clock& clock, QObject* parent)
    : SoundOutput(clock, parent), m_silent(clock) {
    connect(&m_pulse, &PulseOutput::stateChanged, this, &RealSoundOutput::followStream);
    m_check.setInterval(kCheckMs);
    connect(&m_check, &QTimer::timeout, this, &RealSoundOutput::followStream);
    m_check.start();
    m_pulse.start();
}

RealSoundOutput::~RealSoundOutput() {
    shutDown(100);
}

bool RealSoundOutput::shutDown(int timeoutMs) {
    m_check.stop();
    if (m_onStream) {
        leaveStream();
    }
    return m_pulse.shutDown(timeoutMs);
}

int RealSoundOutput::underruns() const {
    return m_pulse.started() ? m_pulse.planned().underruns() : 0;
}

SoundPosition RealSoundOutput::heardPosition() const {
    return m_onStream ? m_pulse.planned().progress().heard + m_offset : m_silent.heard();
}

SoundPosition RealSoundOutput::earliestPlannable() const {
    // A tone's rising edge begins half an edge before its nominal start.
    return m_onStream
               ? m_pulse.planned().progress().earliest + m_offset + ToneShaper::kEdgeSamples / 2
               : m_silent.heard();
}

qint64 RealSoundOutput::earliestPlannableTenths() const {
    return m_onStream ? earliestPlannable() * 10 : m_silent.heardTenths();
}

qint64 RealSoundOutput::dueTime(SoundPosition position) const {
    return m_onStream ? SoundOutput::dueTime(position) : m_silent.dueTime(position);
}

void RealSoundOutput::mixSamples(SoundPosition at, const QVector<qint16>& samples) {
    followStream();
    if (m_onStream) {
        m_pulse.planned().mix(at - m_offset, samples);
    }
}

void RealSoundOutput::extendTo(SoundPosition end) {
    followStream();
    if (m_onStream) {
        m_pulse.planned().extendTo(end - m_offset);
    }
}

void RealSoundOutput::discardFrom(SoundPosition at) {
    if (m_onStream) {
        m_pulse.planned().discardFrom(at - m_offset);
    }
}

void RealSoundOutput::followStream() {
    // Shut down (what is planned while the windows close at program end), or never started:
    // the silent timeline goes on. Shutting down has already left the stream.
    if (!m_pulse.started()) {
        return;
    }
    const bool ready = m_pulse.state() == PulseOutput::State::Ready;
    if (m_onStream) {
        // A server that died, or froze while sound was due: the timeline goes on silently.
        if (!ready || !m_pulse.planned().progress().fresh) {
            leaveStream();
        }
        return;
    }
    // Changing over in the middle would cut what is sounding: only once all is heard.
    const PlannedStream::Progress progress = m_pulse.planned().progress();
    if (!ready || plannedEnd() > m_silent.heard() || !progress.fresh ||
        progress.latencySamples < 0 ||
        progress.latencySamples > SamplesAfterMs(kLongestStartLatencyMs)) {
        return;
    }
    m_offset = m_silent.heard() - progress.heard;
    m_onStream = true;
    rescheduleHeard();
    emit soundOnChanged(true);
}

void RealSoundOutput::leaveStream() {
    const SoundPosition heard = heardPosition();
    m_onStream = false;
    m_pulse.planned().discardFrom(heard - m_offset);
    // The silent timeline goes on from where the stream was heard, so waits still end on time.
    m_silent.anchor(heard);
    rescheduleHeard();
    emit soundOnChanged(false);
}

void RealSoundOutput::openKeying() {
    m_pulse.openLive();
}

void RealSoundOutput::closeKeying() {
    m_pulse.closeLive();
}

void RealSoundOutput::keyDown(int frequencyHz) {
    m_pulse.keyDown(frequencyHz);
}

void RealSoundOutput::keyUp() {
    m_pulse.keyUp();
}
