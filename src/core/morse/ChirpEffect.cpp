#include <cmath>
#include <numbers>

#include "core/morse/BandEffect.h"
#include "core/sound/BandWave.h"
#include "core/sound/SoundTimeline.h"
#include "core/sound/ToneShaper.h"

using namespace Qt::StringLiterals;

namespace {

// The transmitter's pitch off at key-down, falling back to the tone.
class ChirpSound final : public BandSound {
  public:
    ChirpSound(const BandReceiver& /*receiver*/, double chirpHz) : m_chirpHz(chirpHz) {}

    QVector<qint16> tone(int frequencyHz, qint64 lengthSamples) const override {
        constexpr double kRate = SoundTimeline::kSampleRate;
        if (lengthSamples <= 0 || frequencyHz <= 0 ||
            2 * static_cast<qint64>(frequencyHz) >= kRate) {
            return {};
        }
        QVector<qint16> samples(lengthSamples + ToneShaper::kEdgeSamples, 0);
        double phase = 0;
        for (qint64 i = 0; i < samples.size(); ++i) {
            const double hz =
                frequencyHz + m_chirpHz * std::exp(-static_cast<double>(i) / kDecaySamples);
            samples[i] = static_cast<qint16>(std::lround(
                ToneShaper::kAmplitude * ToneShaper::Envelope(i, lengthSamples) * std::sin(phase)));
            phase = std::fmod(phase + 2 * std::numbers::pi * hz / kRate, 2 * std::numbers::pi);
        }
        return samples;
    }
    bool changesMarks() const override { return true; }
    void transmitMark(QVector<qint16>& mark) const override {
        mark = BandWave::Chirped(mark, m_chirpHz, kDecaySamples);
    }

  private:
    // How soon the pitch is back: it falls by e in this many samples.
    static constexpr double kDecaySamples = 0.008 * SoundTimeline::kSampleRate;
    double m_chirpHz;
};

}  // namespace

// A chirp: the pitch off at key-down.
const BandEffect& ChirpEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{
        {{u"chirp"_s, &C::chirpOn, 0, 1}, {u"chirpHz"_s, &C::chirpHz, 0, 200}},
        [](const C& c) { return u"CHIRP %1Hz"_s.arg(BandFigure(c.chirpHz)); },
        [](const C& c) -> BandSoundMaker {
            if (!std::isfinite(c.chirpHz) || c.chirpHz < 0) {
                return {};
            }
            return SoundFor<ChirpSound>(c.chirpHz);
        }};
    return kEffect;
}
