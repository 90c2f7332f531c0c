#include "core/sound/BandMixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// The background comes in over this after a silence, rather than with a step that clicks.
constexpr qint64 kFadeInSamples = SoundTimeline::kSampleRate / 50;
}  // namespace

void BandMixer::setSettings(const BandSettings& settings) {
    m_renderer = settings.anyOn() ? std::make_unique<BandRenderer>(settings) : nullptr;
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

bool BandMixer::anySound(bool (BandSound::*does)() const) const {
    return m_renderer && std::ranges::any_of(m_renderer->sounds(), does);
}

int BandMixer::keyDownMs(SoundPosition start, int ms) {
    if (anySound(&BandSound::changesTiming)) {
        for (const auto& sound : m_renderer->sounds()) {
            ms = sound->keyDownMs(indexOf(start), ms, m_owedMs);
        }
    }
    return ms;
}

int BandMixer::keyUpMs(SoundPosition start, int ms) {
    if (anySound(&BandSound::changesTiming)) {
        for (const auto& sound : m_renderer->sounds()) {
            ms = sound->keyUpMs(indexOf(start), ms, m_owedMs);
        }
    }
    return ms;
}

QVector<qint16> BandMixer::fistWave(SoundPosition start, const QVector<qint16>& samples) const {
    const bool timing = anySound(&BandSound::changesTiming);
    if (!timing && !anySound(&BandSound::changesMarks)) {
        return samples;
    }
    const auto& sounds = m_renderer->sounds();
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
        if (timing && zeros >= kShortestKeyUp) {
            for (const auto& sound : sounds) {
                zeros = sound->keyUpSamples(indexOf(start + out.size()), zeros, owed);
            }
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
        // The hand first, then the transmitter: a chirp starts at the key-down as sent.
        for (const auto& sound : sounds) {
            sound->weighMark(mark, owed);
        }
        for (const auto& sound : sounds) {
            sound->transmitMark(mark);
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
