#include "core/morse/RecordingDecoder.h"

#include "core/morse/MorseDecoder.h"
#include "core/morse/SignalFinder.h"
#include "core/morse/ToneKeyingDetector.h"

namespace {

// Wide enough for 40 WPM keying, narrow enough to keep most of the noise out.
constexpr double kFilterHz = 80;
// The pitch is looked for in the first this many seconds.
constexpr int kSearchSeconds = 20;

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
    MorseDecoder decoder;
    ToneKeyingDetector detector(
        sampleRate, *pitchHz, kFilterHz,
        {[&](double ms) { decoder.addMark(ms); }, [&](double ms) { decoder.addGap(ms); }});
    detector.addSamples(samples);
    detector.finish();
    decoder.finish();
    const double dotMs = decoder.dotMs();
    return DecodedRecording{*pitchHz, decoder.text().simplified(), dotMs > 0 ? 1200 / dotMs : 0};
}
