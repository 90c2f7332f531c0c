#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

// Static crashes (QRN).
const BandEffect& CrashesEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{{{u"crashes"_s, &C::crashesOn, 0, 1},
                                     {u"crashesPerSecond"_s, &C::crashesPerSecond, 0, 10},
                                     {u"crashDb"_s, &C::crashDb, -30, 20}},
                                    [](const C& c) {
                                        return u"QRN %1/s %2dB"_s.arg(
                                            BandFigure(c.crashesPerSecond), BandFigure(c.crashDb));
                                    },
                                    [](const C& c, BandSettings& s) {
                                        s.crashesOn = c.crashesOn;
                                        s.crashesPerSecond = c.crashesPerSecond;
                                        s.crashDb = c.crashDb;
                                    }};
    return kEffect;
}
