// Copy off the air: the character error rate of the recording decoder after the first ten
// characters, against the signal-to-noise ratio in 2,500 Hz, at 10 to 40 WPM, for a clean fist
// and a human one, and for the clean one through the band conditions' fading. The sound is made
// here, from the bench's own model of a hand (not the decoder's), keyed at 700 Hz with 4 ms
// raised-cosine edges into white Gaussian noise; the decoder is told nothing, not even the pitch.
// Also its cost per second of sound at 48 kHz.
//   bench_copy_from_sound [texts per point, default 3] [one speed in WPM] [clean]
// To score another decoder on the very same sound with the very same rule:
//   bench_copy_from_sound --save DIR [texts] [wpm] [clean]   the table, and each text's sound as
//       DIR/<fist>-<wpm>wpm-<snr>dB-<n>.wav (16-bit mono) beside the text sent (.txt)
//   bench_copy_from_sound --score WAV...   this decoder's rate on saved files, one line each
//   bench_copy_from_sound --cer SENT.txt < DECODED   the rate of a text decoded elsewhere
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string_view>

#include "core/morse/RecordingDecoder.h"
#include "core/morse/WaveFile.h"
#include "core/morse/WaveInput.h"
#include "decoder/KeyedSound.h"
#include "decoder/SyntheticFist.h"

namespace {

struct Fist {
    const char* name;
    const char* tag;   // in a saved file's name
    double jitter;     // each length times 1 + N(0, sigma)
    double dashUnits;  // a heavy hand's dash
    double fadingHz;   // the band conditions' Rayleigh fading at this spread; 0 for none
};

const Fist kFists[] = {{"clean", "clean", 0, 3, 0},
                       {"human (10 % jitter, dash 3.3)", "human", 0.10, 3.3, 0},
                       {"clean, fading (QSB 0.5 Hz)", "fading", 0, 3, 0.5}};
const double kSnrs[] = {-10, -8, -6, -4, -2, 0, 3, 6, INFINITY};
const int kSpeeds[] = {10, 20, 30, 40};

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

double Scored(const QString& sent, const std::optional<DecodedRecording>& copy) {
    return copy ? std::min(1.0, CharacterErrorRate(sent, copy->text, 10)) : 1.0;
}

// Scaled so the loudest sample is at 90 % of full scale, as a receiver's gain would be set:
// the noisiest points would clip at the bench's own level.
void Save(const QString& base, const std::vector<float>& sound, int rate, const QString& text) {
    const float peak = std::max(
        1e-9f, std::abs(*std::ranges::max_element(sound, {}, [](float x) { return std::abs(x); })));
    SampleBuffer samples;
    samples.reserve(qsizetype(sound.size()));
    for (const float x : sound) {
        samples.append(qint16(std::lround(0.9 * 32767 * x / peak)));
    }
    QFile txt(base + QStringLiteral(".txt"));
    if (!WaveFile::Write(base + QStringLiteral(".wav"), samples, rate) ||
        !txt.open(QIODevice::WriteOnly) || txt.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(base));
        std::exit(1);
    }
}

int Score(const QStringList& paths) {
    for (const QString& path : paths) {
        const WaveInput::Result wave = WaveInput::Read(path);
        const QString sent = ReadText(path.chopped(4) + QStringLiteral(".txt"));
        if (wave.status != WaveInput::Result::Status::Read || sent.isEmpty()) {
            std::fprintf(stderr, "cannot read %s or its text\n", qPrintable(path));
            return 1;
        }
        std::printf("%.4f %s\n", Scored(sent, DecodeRecording(wave.samples, wave.sampleRate)),
                    qPrintable(path));
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args[0] == QLatin1String("--score")) {
        return Score(args.mid(1));
    }
    if (args.size() == 2 && args[0] == QLatin1String("--cer")) {
        const QString sent = ReadText(args[1]);
        const QString decoded = QTextStream(stdin).readAll();
        std::printf("%.4f\n", std::min(1.0, CharacterErrorRate(sent, decoded, 10)));
        return sent.isEmpty() ? 1 : 0;
    }
    const bool save = args.size() >= 2 && args[0] == QLatin1String("--save");
    const QString saveDir = save ? args[1] : QString();
    const int at = save ? 3 : 1;  // the first of the point's arguments
    const int textsPerPoint = argc > at ? std::max(1, std::atoi(argv[at])) : 3;
    const int onlyWpm = argc > at + 1 ? std::atoi(argv[at + 1]) : 0;
    const bool onlyClean = argc > at + 2 && std::string_view(argv[at + 2]) == "clean";
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
                int n = 0;
                for (const QString& text : texts) {
                    FistModel model;
                    model.wpm = wpm;
                    model.gaussianJitter = fist.jitter;
                    model.dashUnits = fist.dashUnits;
                    model.seed = ++seed;
                    const std::vector<float> sound =
                        RenderKeyed(KeyText(text, model), kRate, {snr, seed, fist.fadingHz});
                    sum += Scored(text, DecodeRecording(sound, kRate));
                    if (save) {
                        const QString snrName = std::isfinite(snr)
                                                    ? QString::asprintf("%+.0fdB", snr)
                                                    : QStringLiteral("nonoise");
                        Save(QStringLiteral("%1/%2-%3wpm-%4-%5")
                                 .arg(saveDir, QString::fromLatin1(fist.tag))
                                 .arg(wpm)
                                 .arg(snrName)
                                 .arg(++n),
                             sound, kRate, text);
                    }
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
