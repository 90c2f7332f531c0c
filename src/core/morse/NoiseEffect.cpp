#include <cmath>

#include "core/morse/BandEffect.h"
#include "core/sound/BandFilter.h"
#include "core/sound/BandRandom.h"
#include "core/sound/BandRenderer.h"

using namespace Qt::StringLiterals;

namespace {

// White noise at the receiver's input, set by its level in 500 Hz around the tone after the
// filter against the wanted signal's.
class NoiseSound final : public BandSound {
  public:
    NoiseSound(const BandReceiver& receiver, double snrDb)
        : m_seed(receiver.seed), m_filterPower(receiver.filter.powerGain()) {
        constexpr double kMeasureHalfHz = 250;
        const double signal = BandRenderer::kWantedAmplitude * BandRenderer::kWantedAmplitude / 2;
        const double wanted = signal / std::pow(10.0, snrDb / 10);
        const double inBand = receiver.filter.powerGain(receiver.toneHz - kMeasureHalfHz,
                                                        receiver.toneHz + kMeasureHalfHz);
        m_sigma = std::sqrt(wanted / inBand);
    }

    bool addsInput() const override { return m_sigma > 0; }
    void addInput(qint64 first, double* samples, int count) const override {
        for (int i = 0; i < count; ++i) {
            samples[i] += m_sigma * BandRandom::Gaussian(m_seed, BandRandom::kNoise, first + i);
        }
    }
    void addPower(double& power) const override {
        if (m_sigma > 0) {
            power += m_sigma * m_sigma * m_filterPower;
        }
    }

  private:
    quint64 m_seed;
    double m_filterPower;
    double m_sigma = 0;
};

}  // namespace

// White noise through the receiver's filter, at a signal-to-noise ratio.
const BandEffect& NoiseEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{
        {{u"noise"_s, &C::noiseOn, 0, 1}, {u"snrDb"_s, &C::snrDb, -10, 60}},
        [](const C& c) { return u"SNR %1dB"_s.arg(BandFigure(c.snrDb)); },
        [](const C& c) -> BandSoundMaker {
            if (!std::isfinite(c.snrDb)) {
                return {};
            }
            return SoundFor<NoiseSound>(c.snrDb);
        }};
    return kEffect;
}
