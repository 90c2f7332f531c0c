#include "core/morse/RecordingDecoder.h"

#include <algorithm>
#include <cmath>

#include "core/morse/MorseDecoder.h"
#include "core/morse/SignalFinder.h"
#include "core/morse/ToneKeyingDetector.h"

namespace {

// The first hearings' widths, each suiting a range of speeds, and the widest a later one takes.
constexpr double kStartingWidthsHz[] = {30, 60, 100};
constexpr double kWidestHz = 120;
// The width that keeps a dot's shape: the filter's rise under a third of the dot.
constexpr double kWidthDots = 3.2;
constexpr double kNarrowestHz = 20;
// Shorter than this share of a dot is noise on an edge, not an element.
constexpr double kShortestDots = 0.4;
constexpr int kPasses = 4;
// The pitch is looked for in the first this many seconds.
constexpr int kSearchSeconds = 20;

// The dot the decoder learned; nothing before it had heard enough to tell.
std::optional<double> LearnedDotMs(const MorseDecoder& decoder) {
    const double dotMs = decoder.dotMs();
    return dotMs > 0 && std::isfinite(dotMs) ? std::optional(dotMs) : std::nullopt;
}

// Heard through a filter of the starting width, then again through one as narrow as the speed
// learned allows (which keeps out more of the noise), until the speed settles.
DecodedRecording Refined(std::span<const float> samples, int sampleRate, double pitchHz,
                         double widthHz) {
    double shortestMs = 0;
    MorseDecoder decoder;
    for (int pass = 0; pass < kPasses; ++pass) {
        decoder = MorseDecoder();
        ToneKeyingDetector detector(
            sampleRate, pitchHz, widthHz,
            {[&](double ms) { decoder.addMark(ms); }, [&](double ms) { decoder.addGap(ms); }},
            shortestMs);
        detector.addSamples(samples);
        detector.finish();
        decoder.finish();
        const std::optional<double> dotMs = LearnedDotMs(decoder);
        if (!dotMs) {
            break;
        }
        widthHz = std::clamp(kWidthDots / (*dotMs / 1000), kNarrowestHz, kWidestHz);
        shortestMs = kShortestDots * *dotMs;
    }
    const std::optional<double> dotMs = LearnedDotMs(decoder);
    return {pitchHz, decoder.text().simplified(), dotMs ? 1200 / *dotMs : 0};
}

// How much of a copy is no sign at all: noise read as keying makes patterns no table has, and
// runs of E and T.
double UnreadShare(const QString& text) {
    qsizetype unread = 0;
    qsizetype signs = 0;
    for (const QChar character : text) {
        if (character == u' ') {
            continue;
        }
        ++signs;
        unread +=
            character == MorseDecoder::kUnknownMarker || character == u'E' || character == u'T';
    }
    return signs == 0 ? 1.0 : static_cast<double>(unread) / static_cast<double>(signs);
}

}  // namespace

std::optional<DecodedRecording> DecodeRecording(std::span<const float> samples, int sampleRate,
                                                std::optional<double> pitchHz) {
    if (!pitchHz) {
        const size_t searched =
            std::min(samples.size(), static_cast<size_t>(std::max(sampleRate, 0)) * kSearchSeconds);
        pitchHz = StrongestPitch(samples.first(searched), sampleRate);
    }
    if (!pitchHz) {
        return std::nullopt;
    }
    std::optional<DecodedRecording> best;
    double bestShare = 2;
    for (const double startHz : kStartingWidthsHz) {
        DecodedRecording copy = Refined(samples, sampleRate, *pitchHz, startHz);
        const double share = UnreadShare(copy.text);
        if (share < bestShare) {
            bestShare = share;
            best = std::move(copy);
        }
    }
    return best;
}
