#include "core/sound/SoundOutput.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/sound/ToneShaper.h"

namespace {

// Waves synthesised at another rate are brought to the stream's rate by linear interpolation.
QVector<qint16> Resampled(const QVector<qint16>& samples, int sampleRate) {
    if (sampleRate == SoundTimeline::kSampleRate || samples.isEmpty()) {
        return samples;
    }
    const qint64 count =
        static_cast<qint64>(samples.size()) * SoundTimeline::kSampleRate / sampleRate;
    QVector<qint16> out(count);
    const double step = static_cast<double>(sampleRate) / SoundTimeline::kSampleRate;
    for (qint64 i = 0; i < count; ++i) {
        const double at = i * step;
        const auto left = static_cast<qsizetype>(at);
        const qsizetype right = qMin(left + 1, samples.size() - 1);
        const double fraction = at - left;
        out[i] = static_cast<qint16>(
            std::lround(samples[left] * (1 - fraction) + samples[right] * fraction));
    }
    return out;
}

}  // namespace

SoundOutput::SoundOutput(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

SoundOutput::~SoundOutput() {
    if (m_heardTimer != 0) {
        m_clock.cancel(m_heardTimer);
    }
}

SoundPosition SoundOutput::nextPosition() {
    // Once everything planned has been heard (or cut), the next sound starts as soon as it can.
    if (m_timeline.end() < earliestPlannable()) {
        const SoundPosition end = m_timeline.end();
        m_timeline.restartAtTenths(earliestPlannableTenths());
        if (m_band.isOn()) {
            alignToSample();
            m_band.continueAt(end, m_timeline.end());
        }
    }
    return m_timeline.end();
}

void SoundOutput::alignToSample() {
    // Elements planned from a whole sample on are cut into the same samples wherever they start,
    // so the band sounds them the same on every output.
    m_timeline.restartAt(m_timeline.end());
}

void SoundOutput::restartBand() {
    if (m_bandRefresh) {
        m_bandRefresh();
    }
    if (m_band.isOn()) {
        nextPosition();
        alignToSample();
        m_band.restart(m_timeline.end());
    }
}

void SoundOutput::mixBackground(SoundPosition start) {
    // A long wait hears the band for a minute, then silence, rather than take memory for hours.
    constexpr int kLongestBackgroundMs = 60 * 1000;
    if (m_band.isOn() && !m_clock.quitting()) {
        const SoundPosition end =
            qMin(m_timeline.end(), start + SamplesAfterMs(kLongestBackgroundMs));
        mixSamples(start, m_band.background(start, end));
    }
}

SoundPosition SoundOutput::planTone(int frequencyHz, int durationMs) {
    const SoundPosition start = nextPosition();
    if (durationMs <= 0) {
        return start;
    }
    durationMs = m_band.keyDownMs(start, durationMs);
    m_timeline.addMs(durationMs);
    shapeTone(start, frequencyHz, durationMs);
    return start;
}

SoundPosition SoundOutput::planToneSamples(int frequencyHz, qint64 samples) {
    const SoundPosition start = nextPosition();
    if (samples <= 0) {
        return start;
    }
    m_timeline.addSamples(samples);
    shapeTone(start, frequencyHz,
              static_cast<int>(
                  std::min<qint64>(MsToReachSamples(samples), std::numeric_limits<int>::max())));
    return start;
}

void SoundOutput::shapeTone(SoundPosition start, int frequencyHz, int durationMs) {
    if (!m_clock.quitting() && durationMs <= kLongestSoundedToneMs) {
        const SoundPosition first = start - ToneShaper::kEdgeSamples / 2;
        if (m_band.isOn()) {
            QVector<qint16> tone = m_band.tone(frequencyHz, m_timeline.end() - start);
            m_band.shapeWanted(first, tone);
            mixSamples(first, tone);
        } else {
            mixSamples(first, ToneShaper::ShapedTone(frequencyHz, m_timeline.end() - start,
                                                     SoundTimeline::kSampleRate));
        }
    }
    mixBackground(start);
    planned(Element::Tone, start, m_timeline.end(), durationMs, frequencyHz, nullptr, 0);
}

SoundPosition SoundOutput::planWave(const QVector<qint16>& samples, int sampleRate) {
    const SoundPosition start = nextPosition();
    if (samples.isEmpty() || sampleRate <= 0) {
        return start;
    }
    QVector<qint16> atOutputRate = m_band.fistWave(start, Resampled(samples, sampleRate));
    m_timeline.addSamples(atOutputRate.size());
    if (!m_clock.quitting()) {
        if (m_band.isOn()) {
            m_band.shapeWanted(start, atOutputRate);
        }
        mixSamples(start, atOutputRate);
    }
    mixBackground(start);
    planned(Element::Wave, start, m_timeline.end(),
            static_cast<int>(MsToReachSamples(atOutputRate.size())), 0, &samples, sampleRate);
    return start;
}

SoundPosition SoundOutput::planGap(int ms) {
    const SoundPosition start = nextPosition();
    if (ms > 0) {
        ms = m_band.keyUpMs(start, ms);
        m_timeline.addMs(ms);
        if (!m_clock.quitting()) {
            extendTo(m_timeline.end());
        }
        mixBackground(start);
        planned(Element::Gap, start, m_timeline.end(), ms, 0, nullptr, 0);
    }
    return start;
}

SoundPosition SoundOutput::planGapSamples(qint64 samples) {
    const SoundPosition start = nextPosition();
    if (samples > 0) {
        m_timeline.addSamples(samples);
        if (!m_clock.quitting()) {
            extendTo(m_timeline.end());
        }
        planned(Element::Gap, start, m_timeline.end(),
                static_cast<int>(
                    std::min<qint64>(MsToReachSamples(samples), std::numeric_limits<int>::max())),
                0, nullptr, 0);
    }
    return start;
}

qint64 SoundOutput::msAhead() const {
    return MsToReachSamples(qMax<qint64>(0, m_timeline.end() - heardPosition()));
}

qint64 SoundOutput::dueTime(SoundPosition position) const {
    const qint64 samples = position - heardPosition();
    return m_clock.now() +
           (samples <= 0 ? 0 : static_cast<qint64>(std::ceil(SamplesToMs(samples))));
}

void SoundOutput::whenHeard(SoundPosition position, QObject* context,
                            std::function<void()> action) {
    addPending(position, context, std::move(action), false);
}

void SoundOutput::whenOver(SoundPosition position, QObject* context, std::function<void()> action) {
    addPending(position, context, std::move(action), true);
}

void SoundOutput::addPending(SoundPosition position, QObject* context, std::function<void()> action,
                             bool evenIfCut) {
    Pending pending{position, m_nextOrder++, context, std::move(action), evenIfCut};
    const auto at =
        std::upper_bound(m_pending.begin(), m_pending.end(), position,
                         [](SoundPosition p, const Pending& entry) { return p < entry.position; });
    m_pending.insert(at, std::move(pending));
    scheduleHeard();
}

void SoundOutput::rescheduleHeard() {
    scheduleHeard();
}

void SoundOutput::scheduleHeard() {
    if (m_pending.empty()) {
        if (m_heardTimer != 0) {
            m_clock.cancel(m_heardTimer);
            m_heardTimer = 0;
            m_heardTimerDue = -1;
        }
        return;
    }
    const qint64 due = qMax(dueTime(m_pending.front().position), m_clock.now());
    if (m_heardTimer != 0 && m_heardTimerDue == due) {
        return;
    }
    if (m_heardTimer != 0) {
        m_clock.cancel(m_heardTimer);
    }
    m_heardTimerDue = due;
    m_heardTimer = m_clock.scheduleAt(due, [this] {
        m_heardTimer = 0;
        m_heardTimerDue = -1;
        runHeard();
    });
}

void SoundOutput::runHeard() {
    const SoundPosition now = heardPosition();
    // Taken out first: an action may plan, cut or ask for more.
    std::vector<Pending> due;
    while (!m_pending.empty() && m_pending.front().position <= now) {
        due.push_back(std::move(m_pending.front()));
        m_pending.erase(m_pending.begin());
    }
    for (Pending& entry : due) {
        if (entry.context) {
            entry.action();
        }
    }
    if (!m_pending.empty() && m_heardTimer == 0) {
        // Not heard yet although due: the output lags its estimate by a little.
        const qint64 due2 = dueTime(m_pending.front().position);
        m_heardTimerDue = qMax(due2, m_clock.now() + 1);
        m_heardTimer = m_clock.scheduleAt(m_heardTimerDue, [this] {
            m_heardTimer = 0;
            m_heardTimerDue = -1;
            runHeard();
        });
    }
}

bool SoundOutput::waitFor(SoundPosition target, const std::function<bool()>& done) {
    while (!m_clock.quitting()) {
        if (done()) {
            return true;
        }
        bool woken = false;
        const qint64 due = qMax(dueTime(target), m_clock.now() + 1);
        const Clock::TimerId wake = m_clock.scheduleAt(due, [&woken] { woken = true; });
        WaitUntil(m_clock, [&] { return woken || done(); });
        m_clock.cancel(wake);
    }
    return false;
}

bool SoundOutput::waitForLead(int leadMs, const std::function<bool()>& interrupt) {
    if (m_clock.quitting()) {
        return false;
    }
    // Like every wait of 1 ms or more, pending events run at least once.
    m_clock.waitUntil(m_clock.now());
    const quint64 cuts = m_cuts;
    const qint64 lead = SamplesAfterMs(qMax(leadMs, 0));
    bool reached = false;
    const bool ended = waitFor(m_timeline.end() - lead, [&] {
        if (interrupt() || m_cuts != cuts) {
            return true;
        }
        reached = m_timeline.end() - heardPosition() <= lead;
        return reached;
    });
    return ended && reached;
}

bool SoundOutput::waitUntilHeard(SoundPosition position, const std::function<bool()>& interrupt) {
    const quint64 cuts = m_cuts;
    bool reached = false;
    const bool ended = waitFor(position, [&] {
        if (interrupt() || m_cuts != cuts) {
            return true;
        }
        reached = heardPosition() >= position;
        return reached;
    });
    if (ended && reached) {
        // What waits for this moment happens before the wait is over.
        runHeard();
    }
    return ended && reached;
}

void SoundOutput::cutFrom(SoundPosition position) {
    const SoundPosition from = qMax(position, earliestPlannable());
    // The actions of what is cut go with it, but for those that must happen once it is over.
    const auto first =
        std::find_if(m_pending.begin(), m_pending.end(),
                     [from](const Pending& entry) { return entry.position >= from; });
    std::vector<Pending> over;
    for (auto entry = first; entry != m_pending.end(); ++entry) {
        if (entry->evenIfCut) {
            over.push_back(std::move(*entry));
        }
    }
    m_pending.erase(first, m_pending.end());
    scheduleHeard();
    discardFrom(from);
    if (m_timeline.end() > from) {
        m_timeline.restartAt(from);
    }
    wasCut(from);
    ++m_cuts;
    m_recentCuts.push_back(from);
    constexpr std::size_t kCutsKept = 64;
    if (m_recentCuts.size() > kCutsKept) {
        m_recentCuts.erase(m_recentCuts.begin());
    }
    for (Pending& entry : over) {
        if (entry.context) {
            entry.action();
        }
    }
    emit soundCut();
}

SoundPosition SoundOutput::lowestCutSince(quint64 count) const {
    const quint64 missed = std::min<quint64>(m_cuts - count, m_recentCuts.size());
    // Further back than what is kept: everything counts as cut.
    if (m_cuts - count > m_recentCuts.size()) {
        return 0;
    }
    return *std::min_element(m_recentCuts.end() - static_cast<std::ptrdiff_t>(missed),
                             m_recentCuts.end());
}

void SoundOutput::cut() {
    cutFrom(heardPosition());
}

void SoundOutput::enterPlayback(PlannedSound* playback) {
    m_playbacks.append(playback);
}

void SoundOutput::leavePlayback(PlannedSound* playback) {
    m_playbacks.removeAll(playback);
    emit playbackLeft();
}

PlannedSound* SoundOutput::innermostPlayback() const {
    return m_playbacks.isEmpty() ? nullptr : m_playbacks.constLast();
}

void SoundOutput::waitUntilJoinable() {
    // Ends while the end can still be planned on from: a few ms of the device's buffer and a
    // margin for the time until the next call.
    constexpr int kMarginMs = 10;
    const SoundPosition end = plannedEnd();
    const qint64 ahead = earliestPlannable() - heardPosition();
    const qint64 lead = ahead > 0 ? ahead + SamplesAfterMs(kMarginMs) : 0;
    waitFor(end - lead, [&] { return heardPosition() >= end - lead; });
}

void SoundOutput::Beep(int frequencyHz, int durationMs) {
    planTone(frequencyHz, durationMs);
    waitUntilJoinable();
}

void SoundOutput::PlayWave(const QVector<qint16>& samples, int sampleRate) {
    planWave(samples, sampleRate);
    waitUntilJoinable();
}

void SoundOutput::Gap(int ms) {
    planGap(ms);
    waitUntilJoinable();
}
