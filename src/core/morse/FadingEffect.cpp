#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

namespace {

// Fading (QSB) at a frequency spread.
class FadingEffectKind : public BandEffect {
  public:
    QList<BandConditionField> fields() const override {
        using C = BandConditions;
        return {{u"fading"_s, &C::fadingOn, 0, 1}, {u"fadingHz"_s, &C::fadingHz, 0.05, 30}};
    }
    QString summary(const BandConditions& c) const override {
        return c.fadingOn ? u"QSB %1Hz"_s.arg(BandFigure(c.fadingHz)) : QString();
    }
    void render(const BandConditions& c, BandSettings& s) const override {
        s.fadingOn = c.fadingOn;
        s.fadingHz = c.fadingHz;
    }
};

}  // namespace

const BandEffect& FadingEffect() {
    static const FadingEffectKind kEffect;
    return kEffect;
}
