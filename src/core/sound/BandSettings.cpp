#include "core/sound/BandSettings.h"

#include <cmath>

BandSettings BandSettings::playable() const {
    BandSettings s = *this;
    const auto finite = [](auto... figures) { return (std::isfinite(figures) && ...); };
    s.noiseOn = noiseOn && finite(snrDb);
    s.fadingOn = fadingOn && finite(fadingHz) && fadingHz > 0;
    s.crashesOn = crashesOn && finite(crashesPerSecond, crashDb) && crashesPerSecond >= 0;
    s.chirpOn = chirpOn && finite(chirpHz) && chirpHz >= 0;
    // A key-down may not shrink to nothing, nor a key-up grow without end.
    s.fistOn = fistOn && finite(jitterPercent, weightPercent) && jitterPercent >= 0 &&
               std::abs(weightPercent) < 100;
    s.stations.clear();
    for (const BandStation& station : stations) {
        if (finite(station.levelDb)) {
            s.stations.append(station);
        }
    }
    return s;
}
