#include "core/sound/BandRenderer.h"
#include "core/sound/SampleMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/sound/BandRandom.h"
#include "core/sound/ToneShaper.h"

namespace {

constexpr double kRendererRate = SoundTimeline::kSampleRate;
constexpr double kMeasureHalfHz = 250;  // the noise is set in 500 Hz around the tone
// Crashes may start in any slot of this length; one lasts at most kCrashSlotsBack slots.
constexpr qint64 kCrashSlot = 4410;
constexpr qint64 kCrashSlotsBack = 4;
// Neither part may reach the other's room, so their sum never clips: the background is squeezed
// above its knee into what the wanted signal leaves, the wanted signal above its own.
constexpr double kBackgroundKnee = 14000;
constexpr double kWantedKnee = 12000;

// Frames kept: more than the gain looks back, so rendering forward computes each frame once.
constexpr size_t kKeptBackgroundFrames = 160;

double FromDb(double db) {
    return std::pow(10.0, db / 20);
}

// x as it is up to knee, then bent towards ceiling, which it never reaches.
double SoftLimit(double x, double knee, double ceiling) {
    const double size = std::abs(x);
    if (size <= knee) {
        return x;
    }
    const double room = ceiling - knee;
    const double over = size - knee;
    return std::copysign(knee + over / (1 + over / room), x);
}

}  // namespace

BandRenderer::BandRenderer(const BandSettings& settings)
    : m_settings(settings.playable()), m_filter(settings.toneHz) {
    const double signalPower = kWantedAmplitude * kWantedAmplitude / 2;
    double bandPower = signalPower;
    if (m_settings.noiseOn) {
        const double wanted = signalPower / std::pow(10.0, m_settings.snrDb / 10);
        const double inBand = m_filter.powerGain(m_settings.toneHz - kMeasureHalfHz,
                                                 m_settings.toneHz + kMeasureHalfHz);
        m_noiseSigma = std::sqrt(wanted / inBand);
        bandPower += m_noiseSigma * m_noiseSigma * m_filter.powerGain();
    }
    if (m_settings.crashesOn) {
        // A crash's filtered noise starts at the set level.
        m_crashScale = kWantedAmplitude / std::numbers::sqrt2 * FromDb(m_settings.crashDb) /
                       std::sqrt(m_filter.powerGain());
    }
    if (m_settings.fadingOn) {
        m_fading = std::make_unique<BandFading>(m_settings.seed, m_settings.fadingHz);
    }
    int n = 0;
    for (const BandStation& station : m_settings.stations) {
        Station s;
        const double hz = m_settings.toneHz + station.offsetHz;
        s.radiansPerSample = 2 * std::numbers::pi * hz / kRendererRate;
        s.phase =
            2 * std::numbers::pi * BandRandom::Uniform(m_settings.seed, BandRandom::kStations, n++);
        s.amplitude = kWantedAmplitude * FromDb(station.levelDb) * m_filter.magnitude(hz);
        qint64 end = 0;
        for (int length : station.keying) {
            end += std::max(length, 1);
            s.ends.push_back(end);
        }
        s.cycle = end;
        s.startAt = station.startAt;
        if (s.cycle > 0 && hz > 0 && hz < kRendererRate / 2) {
            // Keyed about half the time.
            bandPower += s.amplitude * s.amplitude / 4;
            m_stations.push_back(std::move(s));
        }
    }
    m_level = std::sqrt(signalPower / bandPower);
    m_hasBackground = m_noiseSigma > 0 || m_crashScale > 0 || !m_stations.empty();
    if (m_hasBackground || m_fading) {
        m_gain = std::make_unique<BandGain>(kFrame, kWantedAmplitude,
                                            [this](qint64 frame) { return loudness(frame); });
    }
}

const std::vector<double>& BandRenderer::backgroundFrame(qint64 frame) const {
    if (const auto found = m_frames.find(frame); found != m_frames.end()) {
        return found->second;
    }
    MakeRoomNear(m_frames, frame, kKeptBackgroundFrames);
    std::vector<double> samples(kFrame, 0.0);
    if (m_noiseSigma > 0 || m_crashScale > 0) {
        renderFrame(frame, samples.data());
    }
    if (!m_stations.empty()) {
        for (int i = 0; i < kFrame; ++i) {
            samples[static_cast<size_t>(i)] += stationsAt(frame * kFrame + i);
        }
    }
    return m_frames.emplace(frame, std::move(samples)).first->second;
}

double BandRenderer::loudness(qint64 frame) const {
    double wanted = 1;
    if (m_fading) {
        wanted = 0;
        for (int i = 0; i <= 2; ++i) {
            wanted = std::max(wanted, std::abs(m_fading->gain(frame * kFrame + i * kFrame / 2)));
        }
    }
    double power = 0;
    double peak = 0;
    if (m_hasBackground) {
        for (double x : backgroundFrame(frame)) {
            power += x * x;
            peak = std::max(peak, std::abs(x));
        }
    }
    // A tone's peak is root 2 times its RMS; noise and crashes may peak twice over it.
    const double rms = std::sqrt(power / kFrame);
    return std::max({kWantedAmplitude * wanted, std::numbers::sqrt2 * rms, peak / 2});
}

std::pair<double, double> BandRenderer::gainAcross(qint64 frame) const {
    return m_fixedLevel || !m_gain ? std::pair{m_level, m_level} : m_gain->acrossFrame(frame);
}

double BandRenderer::gainAt(qint64 index) const {
    const qint64 frame = FloorDiv(index, kFrame);
    const auto [from, to] = gainAcross(frame);
    return from + (to - from) * static_cast<double>(index - frame * kFrame) / kFrame;
}

double BandRenderer::crashInput(qint64 index) const {
    const qint64 slot = FloorDiv(index, kCrashSlot);
    const double chance = m_settings.crashesPerSecond * kCrashSlot / kRendererRate;
    double sum = 0;
    for (qint64 s = slot - kCrashSlotsBack + 1; s <= slot; ++s) {
        const quint64 seed = m_settings.seed;
        if (BandRandom::Uniform(seed, BandRandom::kCrashSlot, 4 * s) >= chance) {
            continue;
        }
        const qint64 start =
            s * kCrashSlot +
            static_cast<qint64>(BandRandom::Uniform(seed, BandRandom::kCrashSlot, 4 * s + 1) *
                                kCrashSlot);
        if (index < start) {
            continue;
        }
        const double strength =
            0.3 + 0.7 * BandRandom::Uniform(seed, BandRandom::kCrashSlot, 4 * s + 2);
        const double decay =
            kRendererRate *
            (0.01 + 0.05 * BandRandom::Uniform(seed, BandRandom::kCrashSlot, 4 * s + 3));
        sum += strength * std::exp(-static_cast<double>(index - start) / decay);
    }
    return sum == 0 ? 0
                    : sum * m_crashScale *
                          BandRandom::Gaussian(m_settings.seed, BandRandom::kCrashNoise, index);
}

void BandRenderer::renderFrame(qint64 frame, double* out) const {
    std::vector<double> input(2 * kFrame, 0.0);
    const qint64 first = (frame - 1) * kFrame;
    for (int i = 0; i < 2 * kFrame; ++i) {
        const qint64 index = first + i;
        double x = 0;
        if (m_noiseSigma > 0) {
            x += m_noiseSigma * BandRandom::Gaussian(m_settings.seed, BandRandom::kNoise, index);
        }
        if (m_crashScale > 0) {
            x += crashInput(index);
        }
        input[static_cast<size_t>(i)] = x;
    }
    m_filter.run(input.data(), 2 * kFrame);
    std::copy(input.begin() + kFrame, input.end(), out);
}

double BandRenderer::stationsAt(qint64 index) const {
    double sum = 0;
    for (const Station& s : m_stations) {
        const qint64 at = ((index + s.startAt) % s.cycle + s.cycle) % s.cycle;
        const auto segment = std::upper_bound(s.ends.begin(), s.ends.end(), at) - s.ends.begin();
        if (segment % 2 == 1) {
            continue;  // key up
        }
        const qint64 begin = segment == 0 ? 0 : s.ends[static_cast<size_t>(segment - 1)];
        const qint64 end = s.ends[static_cast<size_t>(segment)];
        const double edge = std::min<double>(
            1.0, static_cast<double>(std::min(at - begin, end - at)) / ToneShaper::kEdgeSamples);
        const double envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * edge);
        const double angle =
            std::fmod(s.radiansPerSample * static_cast<double>(index), 2 * std::numbers::pi);
        sum += s.amplitude * envelope * std::sin(angle + s.phase);
    }
    return sum;
}

QVector<qint16> BandRenderer::background(qint64 from, qint64 count) const {
    QVector<qint16> out(count, 0);
    if (!m_hasBackground) {
        return out;
    }
    for (qint64 i = 0; i < count;) {
        const qint64 index = from + i;
        const qint64 frame = FloorDiv(index, kFrame);
        // The gain first: working it out may render other frames, and room is made for them.
        const auto [gainFrom, gainTo] = gainAcross(frame);
        const std::vector<double>& samples = backgroundFrame(frame);
        const qint64 end = std::min(count, (frame + 1) * kFrame - from);
        for (; i < end; ++i) {
            const qint64 inFrame = from + i - frame * kFrame;
            const double gain =
                gainFrom + (gainTo - gainFrom) * static_cast<double>(inFrame) / kFrame;
            const double value = samples[static_cast<size_t>(inFrame)];
            out[i] = static_cast<qint16>(
                std::lround(SoftLimit(value * gain, kBackgroundKnee, kBackgroundCeiling)));
        }
    }
    return out;
}

void BandRenderer::shapeWanted(qint64 from, QVector<qint16>& samples) const {
    if (!m_fading && !m_hasBackground) {
        return;
    }
    // A recording louder than the reference (a WAV file's higher volume levels) is turned down to
    // it as a whole: the band's figures are set against the reference, and it leaves no more room.
    const auto [low, high] = std::minmax_element(samples.cbegin(), samples.cend());
    const double peak = samples.isEmpty() ? 0
                                          : std::max(std::abs(static_cast<double>(*low)),
                                                     std::abs(static_cast<double>(*high)));
    const double scale = peak > kWantedAmplitude ? kWantedAmplitude / peak : 1;
    // The fading's control points once each, the magnitude linear between them.
    const qint64 step = BandFading::kStep;
    qint64 point = FloorDiv(from, step);
    double a = m_fading ? std::abs(m_fading->gain(point * step)) : 1;
    double b = m_fading ? std::abs(m_fading->gain((point + 1) * step)) : 1;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const qint64 index = from + i;
        if (index >= (point + 1) * step) {
            ++point;
            a = b;
            b = m_fading ? std::abs(m_fading->gain((point + 1) * step)) : 1;
        }
        const double t = static_cast<double>(index - point * step) / step;
        const double gain = scale * gainAt(index) * (a + (b - a) * t);
        samples[i] = static_cast<qint16>(
            std::lround(SoftLimit(samples[i] * gain, kWantedKnee, kWantedCeiling)));
    }
}

QVector<qint16> BandRenderer::tone(int frequencyHz, qint64 lengthSamples) const {
    if (!m_settings.chirpOn || lengthSamples <= 0 || frequencyHz <= 0 ||
        2 * static_cast<qint64>(frequencyHz) >= SoundTimeline::kSampleRate) {
        return ToneShaper::ShapedTone(frequencyHz, lengthSamples, SoundTimeline::kSampleRate);
    }
    QVector<qint16> samples(lengthSamples + ToneShaper::kEdgeSamples, 0);
    double phase = 0;
    for (qint64 i = 0; i < samples.size(); ++i) {
        const double hz =
            frequencyHz + m_settings.chirpHz *
                              std::exp(-static_cast<double>(i) / BandRenderer::kChirpDecaySamples);
        samples[i] = static_cast<qint16>(std::lround(
            ToneShaper::kAmplitude * ToneShaper::Envelope(i, lengthSamples) * std::sin(phase)));
        phase = std::fmod(phase + 2 * std::numbers::pi * hz / kRendererRate, 2 * std::numbers::pi);
    }
    return samples;
}
