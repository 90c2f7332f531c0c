#include "core/sound/KeyedTone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/sound/ToneShaper.h"

namespace {

constexpr int kEdge = ToneShaper::kEdgeSamples;

// 0 before the edge, 1 after it, a raised cosine between.
double Rise(SoundPosition samplesIn) {
    if (samplesIn <= 0) {
        return 0.0;
    }
    if (samplesIn >= kEdge) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(samplesIn) / kEdge);
}

}  // namespace

double KeyedTone::level(SoundPosition at) const {
    const double rise = Rise(at - m_edgeStart);
    return m_down ? rise : 1.0 - rise;
}

SoundPosition KeyedTone::silentFrom() const {
    return m_down ? std::numeric_limits<SoundPosition>::max() : m_edgeStart + kEdge;
}

void KeyedTone::turnEdge(SoundPosition at) {
    // The raised cosine is symmetric: the level k samples into one edge is the level kEdge - k
    // samples into the opposite one.
    const SoundPosition into = std::clamp<SoundPosition>(at - m_edgeStart, 0, kEdge);
    m_edgeStart = at - (kEdge - into);
}

KeyedTone::Write KeyedTone::press(int frequencyHz, SoundPosition read, SoundPosition aheadTo) {
    if (m_down) {
        return topUp(aheadTo);
    }
    // A tone the output cannot make stays silent; the key's going up then changes nothing.
    if (frequencyHz <= 0 || 2 * frequencyHz >= SoundTimeline::kSampleRate) {
        return {};
    }
    const SoundPosition from = read + kGuardSamples;
    // The phase runs on from where the last tone had got to, so a press during a fall does not
    // jump.
    m_anchorAngle = std::fmod(m_anchorAngle + m_step * static_cast<double>(from - m_anchor),
                              2 * std::numbers::pi);
    m_anchor = from;
    m_step = 2 * std::numbers::pi * frequencyHz / SoundTimeline::kSampleRate;
    turnEdge(from);
    m_pressedAt = from;
    m_down = true;
    return renderFrom(std::min(from, m_written), std::max(aheadTo, from + kEdge));
}

KeyedTone::Write KeyedTone::release(SoundPosition read, SoundPosition held) {
    if (!m_down) {
        return {};
    }
    // While the key is down the tone plays on from the press without a break, so a fall placed
    // `held` after it is heard as long after the rise however late the server began the rise.
    const SoundPosition earliest = read + kGuardSamples;
    const SoundPosition from =
        std::min(std::clamp(m_pressedAt + held, earliest, earliest + kMostLateSamples), m_written);
    turnEdge(from);
    m_down = false;
    // The whole fall, even where the server ran dry before it.
    return renderFrom(from, std::max(m_written, silentFrom()));
}

KeyedTone::Write KeyedTone::topUp(SoundPosition aheadTo) {
    if (!m_down || aheadTo <= m_written) {
        return {};
    }
    return renderFrom(m_written, aheadTo);
}

KeyedTone::Write KeyedTone::renderFrom(SoundPosition from, SoundPosition to) {
    m_written = std::max(m_written, to);
    return {from, render(from, to)};
}

QVector<qint16> KeyedTone::render(SoundPosition from, SoundPosition to) const {
    QVector<qint16> out(std::max<SoundPosition>(0, to - from), 0);
    for (qsizetype i = 0; i < out.size(); ++i) {
        const SoundPosition at = from + i;
        const double angle = m_anchorAngle + m_step * static_cast<double>(at - m_anchor);
        out[i] =
            static_cast<qint16>(std::lround(ToneShaper::kAmplitude * level(at) * std::sin(angle)));
    }
    return out;
}
