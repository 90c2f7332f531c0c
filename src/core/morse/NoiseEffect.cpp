#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

namespace {

// White noise through the receiver's filter, at a signal-to-noise ratio.
class NoiseEffectKind : public BandEffect {
  public:
    QList<BandConditionField> fields() const override {
        using C = BandConditions;
        return {{u"noise"_s, &C::noiseOn, 0, 1}, {u"snrDb"_s, &C::snrDb, -10, 60}};
    }
    QString summary(const BandConditions& c) const override {
        return c.noiseOn ? u"SNR %1dB"_s.arg(BandFigure(c.snrDb)) : QString();
    }
    void render(const BandConditions& c, BandSettings& s) const override {
        s.noiseOn = c.noiseOn;
        s.snrDb = c.snrDb;
    }
};

}  // namespace

const BandEffect& NoiseEffect() {
    static const NoiseEffectKind kEffect;
    return kEffect;
}
