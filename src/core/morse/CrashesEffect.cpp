#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

namespace {

// Static crashes (QRN).
class CrashesEffectKind : public BandEffect {
  public:
    QList<BandConditionField> fields() const override {
        using C = BandConditions;
        return {{u"crashes"_s, &C::crashesOn, 0, 1},
                {u"crashesPerSecond"_s, &C::crashesPerSecond, 0, 10},
                {u"crashDb"_s, &C::crashDb, -30, 20}};
    }
    QString summary(const BandConditions& c) const override {
        return c.crashesOn
                   ? u"QRN %1/s %2dB"_s.arg(BandFigure(c.crashesPerSecond), BandFigure(c.crashDb))
                   : QString();
    }
    void render(const BandConditions& c, BandSettings& s) const override {
        s.crashesOn = c.crashesOn;
        s.crashesPerSecond = c.crashesPerSecond;
        s.crashDb = c.crashDb;
    }
};

}  // namespace

const BandEffect& CrashesEffect() {
    static const CrashesEffectKind kEffect;
    return kEffect;
}
