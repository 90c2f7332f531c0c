#include <cmath>
#include <numbers>

#include "core/morse/BandEffect.h"
#include "core/sound/BandFilter.h"
#include "core/sound/BandRandom.h"
#include "core/sound/BandRenderer.h"
#include "core/sound/SampleMath.h"

using namespace Qt::StringLiterals;

namespace {

// Static crashes: bursts of noise at the receiver's input that start at random and die away,
// each as loud at its start as set.
class CrashSound final : public BandSound {
  public:
    CrashSound(const BandReceiver& receiver, double perSecond, double crashDb)
        : m_seed(receiver.seed), m_perSecond(perSecond) {
        // A crash's filtered noise starts at the set level.
        m_scale = BandRenderer::kWantedAmplitude / std::numbers::sqrt2 *
                  std::pow(10.0, crashDb / 20) / std::sqrt(receiver.filter.powerGain());
    }

    bool addsInput() const override { return m_scale > 0; }
    void addInput(qint64 first, double* samples, int count) const override {
        for (int i = 0; i < count; ++i) {
            samples[i] += at(first + i);
        }
    }

  private:
    // Crashes may start in any slot of this length; one lasts at most kSlotsBack slots.
    static constexpr qint64 kSlot = 4410;
    static constexpr qint64 kSlotsBack = 4;
    static constexpr double kRate = SoundTimeline::kSampleRate;

    double at(qint64 index) const {
        const qint64 slot = FloorDiv(index, kSlot);
        const double chance = m_perSecond * kSlot / kRate;
        double sum = 0;
        for (qint64 s = slot - kSlotsBack + 1; s <= slot; ++s) {
            if (BandRandom::Uniform(m_seed, BandRandom::kCrashSlot, 4 * s) >= chance) {
                continue;
            }
            const qint64 start =
                s * kSlot +
                static_cast<qint64>(BandRandom::Uniform(m_seed, BandRandom::kCrashSlot, 4 * s + 1) *
                                    kSlot);
            if (index < start) {
                continue;
            }
            const double strength =
                0.3 + 0.7 * BandRandom::Uniform(m_seed, BandRandom::kCrashSlot, 4 * s + 2);
            const double decay =
                kRate *
                (0.01 + 0.05 * BandRandom::Uniform(m_seed, BandRandom::kCrashSlot, 4 * s + 3));
            sum += strength * std::exp(-static_cast<double>(index - start) / decay);
        }
        return sum == 0
                   ? 0
                   : sum * m_scale * BandRandom::Gaussian(m_seed, BandRandom::kCrashNoise, index);
    }

    quint64 m_seed;
    double m_perSecond;
    double m_scale = 0;
};

}  // namespace

// Static crashes (QRN).
const BandEffect& CrashesEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{{{u"crashes"_s, &C::crashesOn, 0, 1},
                                     {u"crashesPerSecond"_s, &C::crashesPerSecond, 0, 10},
                                     {u"crashDb"_s, &C::crashDb, -30, 20}},
                                    [](const C& c) {
                                        return u"QRN %1/s %2dB"_s.arg(
                                            BandFigure(c.crashesPerSecond), BandFigure(c.crashDb));
                                    },
                                    [](const C& c) -> BandSoundMaker {
                                        if (!std::isfinite(c.crashesPerSecond) ||
                                            !std::isfinite(c.crashDb) || c.crashesPerSecond < 0) {
                                            return {};
                                        }
                                        return SoundFor<CrashSound>(c.crashesPerSecond, c.crashDb);
                                    }};
    return kEffect;
}
