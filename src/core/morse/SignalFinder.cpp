#include "core/morse/SignalFinder.h"

#include <limits>

#include "core/morse/WaterfallSpectrum.h"

std::optional<double> StrongestPitch(std::span<const float> samples, int sampleRate) {
    WaterfallSpectrum spectrum(sampleRate, std::numeric_limits<double>::infinity());
    spectrum.add(samples);
    const std::vector<SpectrumPeak> pitches = spectrum.strongestPitches(1);
    return pitches.empty() ? std::nullopt : std::optional(pitches.front().hz);
}
