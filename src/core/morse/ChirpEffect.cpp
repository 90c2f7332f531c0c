#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

// A chirp: the pitch off at key-down.
const BandEffect& ChirpEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{
        {{u"chirp"_s, &C::chirpOn, 0, 1}, {u"chirpHz"_s, &C::chirpHz, 0, 200}},
        [](const C& c) { return u"CHIRP %1Hz"_s.arg(BandFigure(c.chirpHz)); },
        [](const C& c, BandSettings& s) {
            s.chirpOn = c.chirpOn;
            s.chirpHz = c.chirpHz;
        }};
    return kEffect;
}
