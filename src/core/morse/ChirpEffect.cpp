#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

namespace {

// A chirp: the pitch off at key-down.
class ChirpEffectKind : public BandEffect {
  public:
    QList<BandConditionField> fields() const override {
        using C = BandConditions;
        return {{u"chirp"_s, &C::chirpOn, 0, 1}, {u"chirpHz"_s, &C::chirpHz, 0, 200}};
    }
    QString summary(const BandConditions& c) const override {
        return c.chirpOn ? u"CHIRP %1Hz"_s.arg(BandFigure(c.chirpHz)) : QString();
    }
    void render(const BandConditions& c, BandSettings& s) const override {
        s.chirpOn = c.chirpOn;
        s.chirpHz = c.chirpHz;
    }
};

}  // namespace

const BandEffect& ChirpEffect() {
    static const ChirpEffectKind kEffect;
    return kEffect;
}
