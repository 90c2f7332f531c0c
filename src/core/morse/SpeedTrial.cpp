#include "core/morse/SpeedTrial.h"

#include <cmath>
#include <vector>

#include "core/morse/KeyingEvidence.h"
#include "core/morse/SoftSignDecoder.h"

namespace {

// The speeds tried, as dots in ms: 5 to 60 WPM, each 12 % faster than the last.
constexpr double kSlowestDotMs = 240;
constexpr double kFastestDotMs = 20;
constexpr double kDotStep = 1.12;
// The blocks the pitch is refined on: long, for a clear turn of phase, yet short enough that
// the tone turns less than half a cycle in one for as far as a pitch found may be off (25 Hz).
constexpr double kPitchBlockMs = 20;
// The blocks the speeds are tried on: the same for all, so that their likelihoods compare.
constexpr double kTrialBlockMs = 5;

}  // namespace

double RefinedPitch(std::span<const float> samples, int sampleRate, double pitchHz) {
    const KeyingEvidence blocks(samples, sampleRate, pitchHz, kPitchBlockMs, false);
    return pitchHz + blocks.pitchError(std::vector<bool>(blocks.blocks(), true));
}

std::optional<double> LikeliestDotMs(std::span<const float> samples, int sampleRate,
                                     double pitchHz) {
    const KeyingEvidence evidence(samples, sampleRate, pitchHz, kTrialBlockMs, true);
    if (evidence.blocks() == 0) {
        return std::nullopt;
    }
    std::optional<double> likeliest;
    double best = -INFINITY;
    for (double dotMs = kSlowestDotMs; dotMs >= kFastestDotMs; dotMs /= kDotStep) {
        const SoftDecoding decoding =
            DecodeSigns(evidence, KeyingLengths::FromDot(dotMs / evidence.blockMs()));
        if (decoding.logLikelihood > best) {
            best = decoding.logLikelihood;
            likeliest = dotMs;
        }
    }
    return likeliest;
}
