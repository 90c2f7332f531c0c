#pragma once

#include <QString>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

inline constexpr int kKeyedSoundRate = 8000;
inline constexpr double kKeyedSoundPitch = 700;
inline constexpr double kKeyedSoundAmplitude = 0.5;

// Keyed sound made here from the PARIS timing rule (dot 1200 / WPM ms, dash three dots, gaps of
// one, three and seven), not from the program's generators: what the detector is given is what a
// transmitter would make of the words, with 4 ms ramps, a steady neighbour and white noise.
inline std::vector<float> KeyedSound(const QString& patterns, double wpm, double snrIn2500Hz,
                                     double neighbourHz = 0, double pitchHz = kKeyedSoundPitch) {
    const double dotSamples = 1.2 / wpm * kKeyedSoundRate;
    std::vector<bool> key(static_cast<size_t>(7 * dotSamples), false);
    const auto add = [&](int units, bool down) {
        key.insert(key.end(), static_cast<size_t>(std::lround(units * dotSamples)), down);
    };
    for (const QChar sign : patterns) {
        // A space after the last element's gap makes a word gap, a bar a character gap.
        const bool gap = sign == u' ' || sign == u'|';
        add(gap ? (sign == u' ' ? 6 : 2) : sign == u'-' ? 3 : 1, !gap);
        add(gap ? 0 : 1, false);
    }
    add(7, false);
    std::mt19937 random(7);
    const double noisePower = kKeyedSoundAmplitude * kKeyedSoundAmplitude / 2 /
                              std::pow(10, snrIn2500Hz / 10) / (2500.0 / (kKeyedSoundRate / 2.0));
    std::normal_distribution<double> noise(0, std::sqrt(noisePower));
    std::vector<float> sound(key.size());
    double level = 0;
    const double ramp = 1.0 / (0.004 * kKeyedSoundRate);
    for (size_t n = 0; n < key.size(); ++n) {
        level = std::clamp(level + (key[n] ? ramp : -ramp), 0.0, 1.0);
        const double t = static_cast<double>(n) / kKeyedSoundRate;
        sound[n] = static_cast<float>(
            kKeyedSoundAmplitude * level * std::sin(2 * M_PI * pitchHz * t) +
            (neighbourHz > 0 ? kKeyedSoundAmplitude * std::sin(2 * M_PI * neighbourHz * t) : 0) +
            (std::isinf(snrIn2500Hz) ? 0 : noise(random)));
    }
    return sound;
}
