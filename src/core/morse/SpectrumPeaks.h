#pragma once

#include <span>
#include <vector>

// A pitch that stands out of a spectrum, and how loud it is there.
struct SpectrumPeak {
    double hz = 0;
    double levelDb = 0;
};

// The strongest peaks of a spectrum of powers (bin i at firstHz + i × stepHz), strongest first:
// each at least 6 dB over the median bin (the noise floor, wherever the signals are few), each
// at least 40 Hz from a stronger one (the same signal's skirt is no other signal), its pitch
// where a parabola through its bin and the two beside it peaks, in dB.
std::vector<SpectrumPeak> StrongestPeaks(std::span<const double> powers, double firstHz,
                                         double stepHz, int maxCount);
