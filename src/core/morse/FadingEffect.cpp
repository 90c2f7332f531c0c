#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

// Fading (QSB) at a frequency spread.
const BandEffect& FadingEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{
        {{u"fading"_s, &C::fadingOn, 0, 1}, {u"fadingHz"_s, &C::fadingHz, 0.05, 30}},
        [](const C& c) { return u"QSB %1Hz"_s.arg(BandFigure(c.fadingHz)); },
        [](const C& c, BandSettings& s) {
            s.fadingOn = c.fadingOn;
            s.fadingHz = c.fadingHz;
        }};
    return kEffect;
}
