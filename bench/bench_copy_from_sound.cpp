// Copy off the air: the character error rate of the recording decoder after the first ten
// characters, against the signal-to-noise ratio in 2,500 Hz, at 10 to 40 WPM, for a clean fist
// and a human one, and for the clean one through the band conditions' fading. The sound is made
// here, from the bench's own model of a hand (not the decoder's), keyed at 700 Hz with 4 ms
// raised-cosine edges into white Gaussian noise; the decoder is told nothing, not even the pitch.
// Also its cost per second of sound at 48 kHz.
//   bench_copy_from_sound [texts per point, default 3] [one speed in WPM] [clean]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cmath>
#include <cstdio>
#include <random>
#include <string_view>

#include "core/morse/RecordingDecoder.h"
#include "decoder/KeyedSound.h"
#include "decoder/SyntheticFist.h"

namespace {

struct Fist {
    const char* name;
    double jitter;     // each length times 1 + N(0, sigma)
    double dashUnits;  // a heavy hand's dash
    double fadingHz;   // the band conditions' Rayleigh fading at this spread; 0 for none
};

const Fist kFists[] = {{"clean", 0, 3, 0},
                       {"human (10 % jitter, dash 3.3)", 0.10, 3.3, 0},
                       {"clean, fading (QSB 0.5 Hz)", 0, 3, 0.5}};
const double kSnrs[] = {-10, -8, -6, -4, -2, 0, 3, 6, INFINITY};
const int kSpeeds[] = {10, 20, 30, 40};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int textsPerPoint = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int onlyWpm = argc > 2 ? std::atoi(argv[2]) : 0;
    const bool onlyClean = argc > 3 && std::string_view(argv[3]) == "clean";
    constexpr int kRate = 8000;
    std::printf("### Copy off a recording: character error rate after the first 10 characters\n\n");
    std::printf("%d texts of about 200 characters per point, %d Hz, pitch found by the decoder\n\n",
                textsPerPoint, kRate);
    std::printf("| fist | WPM |");
    for (const double snr : kSnrs) {
        std::isfinite(snr) ? std::printf(" %+.0f dB |", snr) : std::printf(" no noise |");
    }
    std::printf("\n|---|---|");
    for (size_t i = 0; i < std::size(kSnrs); ++i) {
        std::printf("---|");
    }
    std::printf("\n");
    unsigned seed = 1;
    for (const Fist& fist : kFists) {
        for (const int wpm : kSpeeds) {
            if ((onlyWpm > 0 && wpm != onlyWpm) || (onlyClean && fist.jitter > 0)) {
                continue;
            }
            std::printf("| %s | %d |", fist.name, wpm);
            for (const double snr : kSnrs) {
                const QStringList texts = PracticeTexts(textsPerPoint, 200, seed);
                double sum = 0;
                for (const QString& text : texts) {
                    FistModel model;
                    model.wpm = wpm;
                    model.gaussianJitter = fist.jitter;
                    model.dashUnits = fist.dashUnits;
                    model.seed = ++seed;
                    const std::vector<float> sound =
                        RenderKeyed(KeyText(text, model), kRate, {snr, seed, fist.fadingHz});
                    const std::optional<DecodedRecording> copy = DecodeRecording(sound, kRate);
                    sum += copy ? std::min(1.0, CharacterErrorRate(text, copy->text, 10)) : 1.0;
                }
                std::printf(" %.1f %% |", 100 * sum / texts.size());
                std::fflush(stdout);
            }
            std::printf("\n");
        }
    }
    // The cost: one signal, found and decoded, at the rate a sound server captures.
    FistModel model;
    const QStringList texts = PracticeTexts(1, 200, 7);
    const std::vector<float> sound = RenderKeyed(KeyText(texts[0], model), 48000, {0, 7});
    QElapsedTimer timer;
    timer.start();
    const std::optional<DecodedRecording> copy = DecodeRecording(sound, 48000);
    const double seconds = double(sound.size()) / 48000;
    std::printf(
        "\ncost at 48 kHz, 20 WPM, 0 dB: %.1f ms of CPU per second of sound (%.2f %% of a "
        "core), pitch found %.1f Hz\n",
        timer.nsecsElapsed() / 1e6 / seconds, timer.nsecsElapsed() / 1e7 / seconds,
        copy ? copy->pitchHz : 0.0);
    return 0;
}
