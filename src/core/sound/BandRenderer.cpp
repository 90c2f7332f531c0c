#include "core/sound/BandRenderer.h"
#include "core/sound/SampleMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/sound/BandFading.h"
#include "core/sound/ToneShaper.h"

namespace {

// Neither part may reach the other's room, so their sum never clips: the background is squeezed
// above its knee into what the wanted signal leaves, the wanted signal above its own.
constexpr double kBackgroundKnee = 14000;
constexpr double kWantedKnee = 12000;

// Frames kept: more than the gain looks back, so rendering forward computes each frame once.
constexpr size_t kKeptBackgroundFrames = 160;

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

BandRenderer::BandRenderer(const BandSettings& settings) : m_filter(settings.toneHz) {
    const BandReceiver receiver{settings.seed, settings.toneHz, m_filter};
    const double signalPower = kWantedAmplitude * kWantedAmplitude / 2;
    double bandPower = signalPower;
    for (const BandSoundMaker& make : settings.sounds) {
        std::unique_ptr<BandSound> sound = make(receiver);
        sound->addPower(bandPower);
        if (sound->addsInput()) {
            m_inputs.push_back(sound.get());
        }
        if (sound->addsBeside()) {
            m_besides.push_back(sound.get());
        }
        if (sound->fades()) {
            m_fadings.push_back(sound.get());
        }
        m_sounds.push_back(std::move(sound));
    }
    m_level = std::sqrt(signalPower / bandPower);
    m_hasBackground = !m_inputs.empty() || !m_besides.empty();
    if (m_hasBackground || !m_fadings.empty()) {
        m_gain = std::make_unique<BandGain>(kFrame, kWantedAmplitude,
                                            [this](qint64 frame) { return loudness(frame); });
    }
}

double BandRenderer::wantedGain(qint64 index) const {
    double gain = 1;
    for (const BandSound* sound : m_fadings) {
        gain *= sound->wantedGain(index);
    }
    return gain;
}

const std::vector<double>& BandRenderer::backgroundFrame(qint64 frame) const {
    if (const auto found = m_frames.find(frame); found != m_frames.end()) {
        return found->second;
    }
    MakeRoomNear(m_frames, frame, kKeptBackgroundFrames);
    std::vector<double> samples(kFrame, 0.0);
    if (!m_inputs.empty()) {
        renderFrame(frame, samples.data());
    }
    for (const BandSound* sound : m_besides) {
        sound->addBeside(frame * kFrame, samples.data(), kFrame);
    }
    return m_frames.emplace(frame, std::move(samples)).first->second;
}

double BandRenderer::loudness(qint64 frame) const {
    double wanted = 1;
    if (!m_fadings.empty()) {
        wanted = 0;
        for (int i = 0; i <= 2; ++i) {
            wanted = std::max(wanted, wantedGain(frame * kFrame + i * kFrame / 2));
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

void BandRenderer::renderFrame(qint64 frame, double* out) const {
    std::vector<double> input(2 * kFrame, 0.0);
    for (const BandSound* sound : m_inputs) {
        sound->addInput((frame - 1) * kFrame, input.data(), 2 * kFrame);
    }
    m_filter.run(input.data(), 2 * kFrame);
    std::copy(input.begin() + kFrame, input.end(), out);
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
    if (m_fadings.empty() && !m_hasBackground) {
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
    double a = wantedGain(point * step);
    double b = wantedGain((point + 1) * step);
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const qint64 index = from + i;
        if (index >= (point + 1) * step) {
            ++point;
            a = b;
            b = wantedGain((point + 1) * step);
        }
        const double t = static_cast<double>(index - point * step) / step;
        const double gain = scale * gainAt(index) * (a + (b - a) * t);
        samples[i] = static_cast<qint16>(
            std::lround(SoftLimit(samples[i] * gain, kWantedKnee, kWantedCeiling)));
    }
}

QVector<qint16> BandRenderer::tone(int frequencyHz, qint64 lengthSamples) const {
    for (const auto& sound : m_sounds) {
        if (QVector<qint16> keyed = sound->tone(frequencyHz, lengthSamples); !keyed.isEmpty()) {
            return keyed;
        }
    }
    return ToneShaper::ShapedTone(frequencyHz, lengthSamples, SoundTimeline::kSampleRate);
}
