#pragma once

#include <QtGlobal>
#include <cmath>
#include <numbers>

// The band's random numbers: a counter-based generator, each number a pure function of a seed, a
// stream (what it is for) and an index, so a sample can be rendered without rendering those
// before it, in any order and any cutting into blocks. Integer arithmetic only up to the double
// in [0, 1), so the same seed gives the same numbers with every compiler and standard library
// (the standard distributions differ between libraries).
namespace BandRandom {

// SplitMix64's finaliser: a bijective mix of 64 bits.
inline quint64 Mix(quint64 x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

inline quint64 Bits(quint64 seed, quint64 stream, qint64 index) {
    return Mix(Mix(seed ^ Mix(stream)) + static_cast<quint64>(index));
}

// In [0, 1), 53 bits.
inline double Uniform(quint64 seed, quint64 stream, qint64 index) {
    return static_cast<double>(Bits(seed, stream, index) >> 11) * 0x1.0p-53;
}

// Standard normal by Box and Muller's method, from two uniforms of the index.
inline double Gaussian(quint64 seed, quint64 stream, qint64 index) {
    const quint64 bits = Bits(seed, stream, index);
    const double u1 = (static_cast<double>(bits >> 40) + 1.0) * 0x1.0p-24;  // (0, 1]
    const double u2 = static_cast<double>(bits & 0xFFFFFFU) * 0x1.0p-24;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

// The streams, one per use, so two effects never share their numbers.
enum Stream : quint64 {
    kNoise = 1,
    kCrashSlot = 2,
    kCrashNoise = 3,
    kFading = 4,
    kFist = 5,
    kStations = 6,
};

}  // namespace BandRandom
