#include "core/morse/RecordingDecoder.h"

#include <algorithm>
#include <cmath>

#include "core/morse/KeyingEvidence.h"
#include "core/morse/SignalFinder.h"
#include "core/morse/SoftSignDecoder.h"
#include "core/morse/SpeedTrial.h"

namespace {

// The pitch is looked for, and the speed guessed, in the first this many seconds.
constexpr int kSearchSeconds = 20;
// Blocks per dot the keying is then weighed in: fine enough to place an edge within a quarter of
// a dot, coarse enough that each block holds a good share of the tone's energy.
constexpr double kBlocksPerDot = 8;
constexpr int kPasses = 4;

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
        const KeyingLengths inBlocks = lengthsMs.scaled(1 / evidence.blockMs());
        decoding = DecodeSigns(evidence, inBlocks);
        evidence.reweigh(decoding.keyDown);
        decoding = DecodeSigns(evidence, inBlocks);
        if (pass > 0) {
            evidence.lockPhase(decoding.keyDown, inBlocks.dot);
            decoding = DecodeSigns(evidence, inBlocks);
        }
        const KeyingLengths before = lengthsMs;
        lengthsMs = decoding.learned.scaled(evidence.blockMs());
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
    *pitchHz = RefinedPitch(start, sampleRate, *pitchHz);
    const std::optional<double> dotMs = LikeliestDotMs(start, sampleRate, *pitchHz);
    if (!dotMs) {
        return DecodedRecording{*pitchHz, {}, 0};
    }
    return Decoded(samples, sampleRate, *pitchHz, *dotMs);
}
