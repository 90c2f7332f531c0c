#include "core/sound/BandMixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/sound/BandRandom.h"
#include "core/sound/BandWave.h"

namespace {
constexpr double kSpreadLimit = 2.5;
// The background comes in over this after a silence, rather than with a step that clicks.
constexpr qint64 kFadeInSamples = SoundTimeline::kSampleRate / 50;
}  // namespace

void BandMixer::setSettings(const BandSettings& settings) {
    const BandSettings playable = settings.playable();
    m_renderer = playable.anyOn() ? std::make_unique<BandRenderer>(playable) : nullptr;
    m_owedMs = 0;
}

void BandMixer::restart(SoundPosition at) {
    m_origin = at;
    m_heardFrom = at;
    m_base = 0;
    m_owedMs = 0;
}

void BandMixer::continueAt(SoundPosition end, SoundPosition at) {
    m_base = indexOf(end);
    m_origin = at;
    m_heardFrom = at;
    m_owedMs = 0;
}

qint64 BandMixer::indexOf(SoundPosition position) const {
    return m_base + (position - m_origin);
}

double BandMixer::fistSpread(SoundPosition start) const {
    const BandSettings& s = m_renderer->settings();
    const double g = std::clamp(BandRandom::Gaussian(s.seed, BandRandom::kFist, indexOf(start)),
                                -kSpreadLimit, kSpreadLimit);
    return s.jitterPercent / 100 * g;
}

int BandMixer::keyDownMs(SoundPosition start, int ms) {
    if (!m_renderer || !m_renderer->settings().fistOn || ms <= 0) {
        return ms;
    }
    const double weight = 1 + m_renderer->settings().weightPercent / 100;
    const int sent =
        std::max(1, static_cast<int>(std::lround(ms * weight * (1 + fistSpread(start)))));
    m_owedMs += sent - ms;
    return sent;
}

int BandMixer::keyUpMs(SoundPosition start, int ms) {
    if (!m_renderer || !m_renderer->settings().fistOn || ms <= 0) {
        return ms;
    }
    // Never shorter than a third of itself; what cannot be given back now is given back later.
    const double wanted = ms * (1 + fistSpread(start) / 2) - m_owedMs;
    const int sent = std::max({1, ms / 3, static_cast<int>(std::lround(wanted))});
    m_owedMs -= ms - sent;
    m_owedMs = std::clamp(m_owedMs, -static_cast<double>(ms), static_cast<double>(ms));
    return sent;
}

QVector<qint16> BandMixer::fistWave(SoundPosition start, const QVector<qint16>& samples) const {
    if (!m_renderer || !(m_renderer->settings().fistOn || m_renderer->settings().chirpOn)) {
        return samples;
    }
    const BandSettings& s = m_renderer->settings();
    // A millisecond of silence is a key-up, never a tone's zero crossing.
    constexpr qsizetype kShortestKeyUp = SoundTimeline::kSampleRate / 1000;
    QVector<qint16> out;
    out.reserve(samples.size() * 3 / 2);
    qsizetype owed = 0;  // what the marks took from the key-ups, in samples
    for (qsizetype i = 0; i < samples.size();) {
        qsizetype sounding = i;
        while (sounding < samples.size() && samples[sounding] == 0) {
            ++sounding;
        }
        qsizetype zeros = sounding - i;
        if (s.fistOn && zeros >= kShortestKeyUp) {
            const double sent = zeros * (1 + fistSpread(start + out.size()) / 2) - owed;
            zeros = std::max(zeros / 3, static_cast<qsizetype>(std::lround(sent)));
            owed = 0;
        }
        out.resize(out.size() + zeros, 0);
        // The mark runs to the next key-up: a tone's zero samples do not end it.
        qsizetype end = sounding;
        while (end < samples.size()) {
            qsizetype after = end;
            while (after < samples.size() && samples[after] == 0) {
                ++after;
            }
            if (after > end && (after - end >= kShortestKeyUp || after == samples.size())) {
                break;
            }
            end = std::max(after, end + 1);
        }
        QVector<qint16> mark = samples.mid(sounding, end - sounding);
        if (s.fistOn && s.weightPercent != 0) {
            const qsizetype recorded = mark.size();
            mark = BandWave::Reweighted(mark, 1 + s.weightPercent / 100);
            owed += mark.size() - recorded;
        }
        if (s.chirpOn) {
            mark = BandWave::Chirped(mark, s.chirpHz, BandRenderer::kChirpDecaySamples);
        }
        out.append(mark);
        i = end;
    }
    return out;
}

QVector<qint16> BandMixer::tone(int frequencyHz, qint64 lengthSamples) const {
    return m_renderer->tone(frequencyHz, lengthSamples);
}

void BandMixer::shapeWanted(SoundPosition first, QVector<qint16>& samples) const {
    m_renderer->shapeWanted(indexOf(first), samples);
}

QVector<qint16> BandMixer::background(SoundPosition from, SoundPosition to) const {
    QVector<qint16> samples = m_renderer->background(indexOf(from), std::max<qint64>(0, to - from));
    for (qsizetype i = std::max<qint64>(0, m_heardFrom - from); i < samples.size(); ++i) {
        const qint64 since = from + i - m_heardFrom;
        if (since >= kFadeInSamples) {
            break;
        }
        const double rise =
            0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(since) / kFadeInSamples);
        samples[i] = static_cast<qint16>(std::lround(samples[i] * rise));
    }
    return samples;
}
