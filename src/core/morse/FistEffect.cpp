#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

// A human fist: the elements' lengths spread, and a weight.
const BandEffect& FistEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{{{u"fist"_s, &C::fistOn, 0, 1},
                                     {u"jitterPercent"_s, &C::jitterPercent, 0, 40},
                                     {u"weightPercent"_s, &C::weightPercent, -40, 40}},
                                    [](const C& c) {
                                        return u"FIST %1%/%2%"_s.arg(BandFigure(c.jitterPercent),
                                                                     BandFigure(c.weightPercent));
                                    },
                                    [](const C& c, BandSettings& s) {
                                        s.fistOn = c.fistOn;
                                        s.jitterPercent = c.jitterPercent;
                                        s.weightPercent = c.weightPercent;
                                    }};
    return kEffect;
}
