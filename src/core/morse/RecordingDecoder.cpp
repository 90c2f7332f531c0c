#include "core/morse/RecordingDecoder.h"

#include <algorithm>
#include <cmath>

#include "core/morse/KeyingEvidence.h"
#include "core/morse/SignalFinder.h"
#include "core/morse/SoftSignDecoder.h"

namespace {

// The pitch is looked for, and the speed guessed, in the first this many seconds.
constexpr int kSearchSeconds = 20;
// The speeds tried, as dots in ms: 5 to 60 WPM, each 12 % faster than the last.
constexpr double kSlowestDotMs = 240;
constexpr double kFastestDotMs = 20;
constexpr double kDotStep = 1.12;
// The blocks the pitch is refined on: long, for a clear turn of phase, yet short enough that
// the tone turns less than half a cycle in one for as far as a pitch found may be off (25 Hz).
constexpr double kPitchBlockMs = 20;
// The blocks the speeds are tried on: the same for all, so that their likelihoods compare.
constexpr double kTrialBlockMs = 5;
// Blocks per dot the keying is then weighed in: fine enough to place an edge within a quarter of
// a dot, coarse enough that each block holds a good share of the tone's energy.
constexpr double kBlocksPerDot = 8;
constexpr int kPasses = 4;

KeyingLengths Scaled(KeyingLengths lengths, double factor) {
    for (double* length : {&lengths.dot, &lengths.dash, &lengths.elementGap, &lengths.characterGap,
                           &lengths.wordGap}) {
        *length *= factor;
    }
    return lengths;
}

// The speed that explains the start of the sound best, of a ladder of speeds.
std::optional<double> LikeliestDotMs(std::span<const float> start, int sampleRate, double pitchHz) {
    const KeyingEvidence evidence(start, sampleRate, pitchHz, kTrialBlockMs, true);
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

// Each pass weighs the sound in blocks of a fraction of the dot, decodes it, measures signal and
// noise on the blocks the decoding put them in and decodes again, and learns the fist's lengths
// from what it decoded, until they settle. The first pass hears each block on its own; it tells
// the pitch exactly enough for the others to hear each mark as one tone.
DecodedRecording Decoded(std::span<const float> samples, int sampleRate, double pitchHz,
                         double dotMs) {
    KeyingLengths lengthsMs = KeyingLengths::FromDot(dotMs);
    SoftDecoding decoding;
    for (int pass = 0; pass < kPasses; ++pass) {
        KeyingEvidence evidence(samples, sampleRate, pitchHz, lengthsMs.dot / kBlocksPerDot,
                                pass > 0);
        if (evidence.blocks() == 0) {
            break;
        }
        const KeyingLengths inBlocks = Scaled(lengthsMs, 1 / evidence.blockMs());
        decoding = DecodeSigns(evidence, inBlocks);
        evidence.reweigh(decoding.keyDown);
        decoding = DecodeSigns(evidence, inBlocks);
        const KeyingLengths before = lengthsMs;
        lengthsMs = Scaled(decoding.learned, evidence.blockMs());
        if (pass == 0) {
            pitchHz += evidence.pitchError(decoding.keyDown);
        } else if (std::abs(lengthsMs.dot - before.dot) < 0.05 * before.dot) {
            break;
        }
    }
    // The speed by the timing rule, a dot and its gap two units: a heavy or light hand's marks
    // are longer or shorter than its gaps.
    return {pitchHz, decoding.text.simplified(), 2400 / (lengthsMs.dot + lengthsMs.elementGap)};
}

}  // namespace

std::optional<DecodedRecording> DecodeRecording(std::span<const float> samples, int sampleRate,
                                                std::optional<double> pitchHz) {
    const std::span<const float> start = samples.first(
        std::min(samples.size(), static_cast<size_t>(std::max(sampleRate, 0)) * kSearchSeconds));
    if (!pitchHz) {
        pitchHz = StrongestPitch(start, sampleRate);
    }
    if (!pitchHz) {
        return std::nullopt;
    }
    // Close enough for each mark to be heard as one tone: between neighbouring blocks noise
    // turns the phase at random, the tone by as much as the pitch is off.
    const KeyingEvidence blocks(start, sampleRate, *pitchHz, kPitchBlockMs, false);
    *pitchHz += blocks.pitchError(std::vector<bool>(blocks.blocks(), true));
    const std::optional<double> dotMs = LikeliestDotMs(start, sampleRate, *pitchHz);
    if (!dotMs) {
        return DecodedRecording{*pitchHz, {}, 0};
    }
    return Decoded(samples, sampleRate, *pitchHz, *dotMs);
}
