#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

namespace {

// A human fist: the elements' lengths spread, and a weight.
class FistEffectKind : public BandEffect {
  public:
    QList<BandConditionField> fields() const override {
        using C = BandConditions;
        return {{u"fist"_s, &C::fistOn, 0, 1},
                {u"jitterPercent"_s, &C::jitterPercent, 0, 40},
                {u"weightPercent"_s, &C::weightPercent, -40, 40}};
    }
    QString summary(const BandConditions& c) const override {
        return c.fistOn
                   ? u"FIST %1%/%2%"_s.arg(BandFigure(c.jitterPercent), BandFigure(c.weightPercent))
                   : QString();
    }
    void render(const BandConditions& c, BandSettings& s) const override {
        s.fistOn = c.fistOn;
        s.jitterPercent = c.jitterPercent;
        s.weightPercent = c.weightPercent;
    }
};

}  // namespace

const BandEffect& FistEffect() {
    static const FistEffectKind kEffect;
    return kEffect;
}
