#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

// White noise through the receiver's filter, at a signal-to-noise ratio.
const BandEffect& NoiseEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{
        {{u"noise"_s, &C::noiseOn, 0, 1}, {u"snrDb"_s, &C::snrDb, -10, 60}},
        [](const C& c) { return u"SNR %1dB"_s.arg(BandFigure(c.snrDb)); },
        [](const C& c, BandSettings& s) {
            s.noiseOn = c.noiseOn;
            s.snrDb = c.snrDb;
        }};
    return kEffect;
}
