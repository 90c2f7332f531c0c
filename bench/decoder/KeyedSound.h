#pragma once

#include <cmath>
#include <vector>

#include "decoder/SyntheticFist.h"

inline constexpr double kKeyedAmplitude = 0.5;

struct KeyedSoundSettings {
    double snrDb = INFINITY;  // in 2,500 Hz; infinity for none
    unsigned seed = 1;
    double fadingHz = 0;  // the band conditions' Rayleigh fading at this spread; 0 for none
    double pitchHz = 700;
};

// A hand's marks and gaps as a receiver hears them: a second of silence either side, each mark a
// sine with 4 ms raised-cosine edges, white Gaussian noise over it all.
std::vector<float> RenderKeyed(const std::vector<KeyedDuration>& keyed, int rate,
                               const KeyedSoundSettings& settings);
