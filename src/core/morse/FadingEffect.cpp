#include <cmath>
#include <complex>

#include "core/morse/BandEffect.h"
#include "core/sound/BandFading.h"

using namespace Qt::StringLiterals;

namespace {

// Rayleigh fading of the wanted signal.
class FadingSound final : public BandSound {
  public:
    FadingSound(const BandReceiver& receiver, double spreadHz)
        : m_fading(receiver.seed, spreadHz) {}

    bool fades() const override { return true; }
    double wantedGain(qint64 index) const override { return std::abs(m_fading.gain(index)); }

  private:
    BandFading m_fading;
};

}  // namespace

// Fading (QSB) at a frequency spread.
const BandEffect& FadingEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{
        {{u"fading"_s, &C::fadingOn, 0, 1}, {u"fadingHz"_s, &C::fadingHz, 0.05, 30}},
        [](const C& c) { return u"QSB %1Hz"_s.arg(BandFigure(c.fadingHz)); },
        [](const C& c) -> BandSoundMaker {
            if (!std::isfinite(c.fadingHz) || c.fadingHz <= 0) {
                return {};
            }
            return SoundFor<FadingSound>(c.fadingHz);
        }};
    return kEffect;
}
