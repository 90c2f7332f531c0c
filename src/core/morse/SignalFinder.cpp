#include "core/morse/SignalFinder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace {

constexpr double kLowestHz = 200;
constexpr double kHighestHz = 1500;
constexpr double kStepHz = 10;
// A signal's pitch holds this many times the median pitch's power at least.
constexpr double kClearOfNoise = 4;

// The power at one pitch over the samples (Goertzel's recurrence).
double PowerAt(std::span<const float> samples, int sampleRate, double hz) {
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / sampleRate);
    double previous = 0;
    double beforeThat = 0;
    for (const float sample : samples) {
        const double value =
            (std::isfinite(sample) ? sample : 0.0) + coefficient * previous - beforeThat;
        beforeThat = previous;
        previous = value;
    }
    return previous * previous + beforeThat * beforeThat - coefficient * previous * beforeThat;
}

}  // namespace

std::optional<double> StrongestPitch(std::span<const float> samples, int sampleRate) {
    if (sampleRate < 2 * kHighestHz || samples.empty()) {
        return std::nullopt;
    }
    // Blocks of 50 ms: short enough for a pitch that drifts a little, their powers summed.
    const size_t block = static_cast<size_t>(sampleRate / 20);
    std::vector<double> powers;
    for (double hz = kLowestHz; hz <= kHighestHz; hz += kStepHz) {
        double power = 0;
        for (size_t at = 0; at < samples.size(); at += block) {
            power +=
                PowerAt(samples.subspan(at, std::min(block, samples.size() - at)), sampleRate, hz);
        }
        powers.push_back(power);
    }
    const auto strongest = std::max_element(powers.begin(), powers.end());
    std::vector<double> sorted = powers;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    if (*strongest <= kClearOfNoise * sorted[sorted.size() / 2]) {
        return std::nullopt;
    }
    // Between the bins, where a parabola through the strongest and its neighbours peaks.
    const auto index = strongest - powers.begin();
    double offset = 0;
    if (index > 0 && index + 1 < static_cast<std::ptrdiff_t>(powers.size())) {
        const double left = powers[index - 1];
        const double right = powers[index + 1];
        const double bend = left - 2 * *strongest + right;
        offset = bend < 0 ? std::clamp(0.5 * (left - right) / bend, -0.5, 0.5) : 0;
    }
    return kLowestHz + (static_cast<double>(index) + offset) * kStepHz;
}
