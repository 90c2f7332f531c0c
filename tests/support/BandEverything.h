#pragma once

#include "core/morse/BandConditions.h"

// Conditions with every effect but the fist on, and figures no preset has.
inline BandConditions BandEverything() {
    BandConditions c;
    c.seed = 4242;
    c.noiseOn = c.fadingOn = c.crashesOn = c.chirpOn = true;
    c.snrDb = 10;
    c.fadingHz = 2;
    c.stationCount = 3;
    c.crashesPerSecond = 5;
    return c;
}
