// The band conditions' figures: the noise's measured SNR in 500 Hz against the setting, the
// fading envelope against Rayleigh and its spread against the setting, the same seed in two
// processes, the loudness with the automatic gain against the fixed level it replaced, and the
// cost of rendering with every effect on. Prints figures; asserts nothing.
#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <cmath>
#include <complex>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <vector>

#include "core/morse/BandConditions.h"
#include "core/sound/BandFading.h"
#include "core/sound/BandMixer.h"
#include "core/sound/BandRenderer.h"
#include "core/sound/ToneShaper.h"

using namespace Qt::StringLiterals;

namespace {

constexpr double kRate = 44100;
constexpr int kTone = 800;

void Fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * std::numbers::pi / len);
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                wk *= w;
            }
        }
    }
}

// Mean power of the samples within lowHz ... highHz.
double BandPower(const QVector<qint16>& samples, double lowHz, double highHz) {
    std::vector<std::complex<double>> a(static_cast<size_t>(samples.size()));
    for (qsizetype i = 0; i < samples.size(); ++i) {
        a[static_cast<size_t>(i)] = samples[i];
    }
    Fft(a);
    const double n = static_cast<double>(a.size());
    double sum = 0;
    for (size_t k = 1; k < a.size() / 2; ++k) {
        const double hz = static_cast<double>(k) * kRate / n;
        if (hz >= lowHz && hz < highHz) {
            sum += 2 * std::norm(a[k]) / (n * n);
        }
    }
    return sum;
}

void MeasureSnr() {
    std::printf("noise: SNR in 500 Hz around %d Hz, set vs measured\n", kTone);
    constexpr qint64 kCount = 1 << 19;
    for (int snr = 0; snr <= 30; snr += 5) {
        BandConditions c;
        c.seed = 7 + snr;
        c.noiseOn = true;
        c.snrDb = snr;
        const BandRenderer renderer(ToBandSettings(c, kTone));
        const QVector<qint16> noise = renderer.background(0, kCount);
        QVector<qint16> tone = ToneShaper::ShapedTone(kTone, kCount, 44100).mid(55, kCount);
        renderer.shapeWanted(0, tone);
        const double signal = BandPower(tone, kTone - 250, kTone + 250);
        const double measured =
            10 * std::log10(signal / BandPower(noise, kTone - 250, kTone + 250));
        std::printf("  set %5.1f dB  measured %6.2f dB  error %+5.2f dB\n",
                    static_cast<double>(snr), measured, measured - snr);
    }
}

double KolmogorovP(double d, int n) {
    const double root = std::sqrt(static_cast<double>(n));
    const double lambda = (root + 0.12 + 0.11 / root) * d;
    double p = 0;
    for (int k = 1; k <= 100; ++k) {
        p += 2 * ((k % 2) ? 1 : -1) * std::exp(-2.0 * k * k * lambda * lambda);
    }
    return std::clamp(p, 0.0, 1.0);
}

void MeasureFading() {
    std::printf("fading: envelope vs Rayleigh (KS, n = 2000), spread set vs measured\n");
    for (double spread : {0.1, 0.5, 2.0, 10.0}) {
        for (quint64 seed : {1ULL, 99ULL}) {
            const BandFading fading(seed, spread);
            constexpr int kN = 2000;
            const double apart = 2.0 / spread * kRate;  // samples: far beyond the correlation
            std::vector<double> r;
            for (int i = 0; i < kN; ++i) {
                r.push_back(std::abs(fading.gain(static_cast<qint64>(i * apart))));
            }
            std::sort(r.begin(), r.end());
            double d = 0;
            for (int i = 0; i < kN; ++i) {
                const double cdf =
                    1 - std::exp(-r[static_cast<size_t>(i)] * r[static_cast<size_t>(i)]);
                d = std::max({d, cdf - static_cast<double>(i) / kN, (i + 1.0) / kN - cdf});
            }
            // RMS Doppler frequency from the gain's rate of change: the spread is twice it.
            const double step = kRate / (50 * spread);
            double power = 0;
            double change = 0;
            for (int i = 0; i < 20000; ++i) {
                const auto at = static_cast<qint64>(i * 7.3 * step);
                const auto g = fading.gain(at);
                const auto h = fading.gain(at + static_cast<qint64>(step));
                power += std::norm(g);
                change += std::norm(h - g);
            }
            const double dt = static_cast<double>(static_cast<qint64>(step)) / kRate;
            const double rms = std::sqrt(change / power) / (2 * std::numbers::pi * dt);
            std::printf(
                "  set %5.2f Hz seed %2llu  KS D %.4f p %.3f  spread measured %6.3f Hz (%+5.1f "
                "%%)\n",
                spread, static_cast<unsigned long long>(seed), d, KolmogorovP(d, kN), 2 * rms,
                100 * (2 * rms / spread - 1));
        }
    }
}

struct Loudness {
    double quietestRms;  // dBFS, of the 1 s windows
    double loudestRms;
    double peak;
    int clipped;  // samples of the sum beyond 16 bits
};

double Dbfs(double amplitude) {
    return 20 * std::log10(std::max(amplitude, 1.0) / 32768);
}

// 20 s of keyed tone (dits and dahs at 20 WPM) with the band around it, as the output mixes it;
// the tone as planned, or louder by wantedScale as a WAV file at a higher volume level is.
Loudness MeasureLoudness(const BandSettings& settings, bool fixed, double wantedScale = 1) {
    BandRenderer renderer(settings);
    renderer.useFixedLevel(fixed);
    constexpr qint64 kSecond = 44100;
    constexpr qint64 kCount = 20 * kSecond;
    std::vector<double> mix(kCount, 0.0);
    for (qint64 at = 0, n = 0; at < kCount; ++n) {
        const qint64 length = std::min<qint64>(kCount - at, (n % 3 == 0 ? 180 : 60) * 441 / 10);
        QVector<qint16> tone = ToneShaper::ShapedTone(kTone, length, 44100);
        for (qint16& sample : tone) {
            sample = static_cast<qint16>(std::clamp(sample * wantedScale, -32768.0, 32767.0));
        }
        renderer.shapeWanted(at, tone);
        for (qsizetype i = 0; i < tone.size() && at + i < kCount; ++i) {
            mix[static_cast<size_t>(at + i)] += tone[i];
        }
        at += length + 60 * 441 / 10;
    }
    const QVector<qint16> background = renderer.background(0, kCount);
    Loudness out{0, -200, -200, 0};
    int clipped = 0;
    double quietest = 1e30;
    double loudest = 0;
    double peak = 0;
    for (qint64 window = 0; window < kCount; window += kSecond) {
        double power = 0;
        for (qint64 i = window; i < window + kSecond; ++i) {
            const double sum = mix[static_cast<size_t>(i)] + background[i];
            clipped += std::abs(sum) >= 32767 ? 1 : 0;
            const double x = std::clamp(sum, -32768.0, 32767.0);
            power += x * x;
            peak = std::max(peak, std::abs(x));
        }
        quietest = std::min(quietest, std::sqrt(power / kSecond));
        loudest = std::max(loudest, std::sqrt(power / kSecond));
    }
    out = {Dbfs(quietest), Dbfs(loudest), Dbfs(peak), clipped};
    return out;
}

void PrintLoudness() {
    std::printf(
        "loudness: keyed tone and band, 20 s; RMS of 1 s windows (quietest / loudest) and peak, "
        "dBFS; the tone alone is %.1f dBFS RMS keyed all through; clipped samples of the sum "
        "with the automatic gain, the tone as planned / as the loudest WAV volume (+10 dB)\n"
        "  %-24s %-26s %-26s %s\n",
        Dbfs(BandRenderer::kWantedAmplitude / std::numbers::sqrt2), "conditions",
        "fixed level (before)", "automatic gain (after)", "clipped");
    QList<std::pair<QString, BandConditions>> rows;
    for (const BandPreset& preset : BandPresets()) {
        rows.append({preset.name, preset.conditions});
    }
    for (int snr = 0; snr <= 30; snr += 10) {
        BandConditions noise;
        noise.noiseOn = true;
        noise.snrDb = snr;
        rows.append({u"SNR %1 dB"_s.arg(snr), noise});
    }
    BandConditions crashes;
    crashes.noiseOn = crashes.crashesOn = true;
    crashes.crashesPerSecond = 2;
    crashes.crashDb = 20;
    rows.append({u"QRN +20 dB, SNR 20"_s, crashes});
    BandConditions strong;
    strong.noiseOn = true;
    strong.stationCount = 2;
    strong.stationLevelDb = 12;
    rows.append({u"QRM +12 dB, SNR 20"_s, strong});
    BandConditions weak;
    weak.noiseOn = weak.fadingOn = true;
    weak.snrDb = 3;
    weak.fadingHz = 0.2;
    rows.append({u"SNR 3, QSB 0.2 Hz"_s, weak});
    for (auto& [name, conditions] : rows) {
        conditions.seed = 5;
        const BandSettings settings = ToBandSettings(conditions, kTone);
        const Loudness before = MeasureLoudness(settings, true);
        const Loudness after = MeasureLoudness(settings, false);
        const Loudness loud = MeasureLoudness(settings, false, std::pow(10.0, 10.0 / 20));
        // Japanese names are wider than their bytes: pad by characters.
        const QString padded = name.leftJustified(24);
        std::printf("  %s %6.1f / %6.1f  pk %6.1f   %6.1f / %6.1f  pk %6.1f   %d / %d\n",
                    padded.toUtf8().constData(), before.quietestRms, before.loudestRms, before.peak,
                    after.quietestRms, after.loudestRms, after.peak, after.clipped, loud.clipped);
    }
}

// Every effect on, planned as a lesson plans: elements of 60 ... 180 ms.
quint64 RenderLesson(quint64 seed, double seconds, double* cpuSeconds) {
    BandConditions c;
    c.seed = seed;
    c.noiseOn = c.fadingOn = c.crashesOn = c.chirpOn = c.fistOn = true;
    c.snrDb = 10;
    c.fadingHz = 1;
    c.stationCount = BandConditions::kMostStations;
    c.crashesPerSecond = 2;
    BandMixer mixer;
    mixer.setSettings(ToBandSettings(c, kTone));
    mixer.restart(1000);
    timespec begin{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &begin);
    quint64 hash = 1469598103934665603ULL;
    const auto add = [&](const QVector<qint16>& samples) {
        for (qint16 v : samples) {
            hash = (hash ^ static_cast<quint16>(v)) * 1099511628211ULL;
        }
    };
    SoundPosition at = 1000;
    int n = 0;
    while (at < 1000 + seconds * kRate) {
        const int ms = mixer.keyDownMs(at, (n % 3 == 0) ? 180 : 60);
        const auto length = static_cast<qint64>(ms * 44.1);
        QVector<qint16> tone = mixer.tone(kTone, length);
        mixer.shapeWanted(at - 55, tone);
        add(tone);
        add(mixer.background(at, at + length));
        at += length;
        const int gap = mixer.keyUpMs(at, 60);
        add(mixer.background(at, at + static_cast<qint64>(gap * 44.1)));
        at += static_cast<qint64>(gap * 44.1);
        ++n;
    }
    timespec end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    if (cpuSeconds != nullptr) {
        *cpuSeconds = static_cast<double>(end.tv_sec - begin.tv_sec) +
                      static_cast<double>(end.tv_nsec - begin.tv_nsec) / 1e9;
    }
    return hash;
}

QString HashInChild(const QString& seed) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--hash"_s, seed});
    child.waitForFinished(120000);
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == u"--hash"_s) {
        std::printf("%016llx\n", static_cast<unsigned long long>(
                                     RenderLesson(args[2].toULongLong(), 20, nullptr)));
        return 0;
    }
    MeasureSnr();
    MeasureFading();
    PrintLoudness();
    const QString a = HashInChild(u"12345"_s);
    const QString b = HashInChild(u"12345"_s);
    const QString c = HashInChild(u"12346"_s);
    std::printf("determinism: seed 12345 in two processes %s %s (%s); seed 12346 %s (%s)\n",
                qPrintable(a), qPrintable(b), a == b && !a.isEmpty() ? "identical" : "DIFFERENT",
                qPrintable(c), c != a ? "differs" : "SAME");
    constexpr double kSeconds = 60;
    double cpu = 0;
    RenderLesson(3, kSeconds, &cpu);
    std::printf(
        "cost: %.0f s of sound with every effect on (4 stations) in %.3f s of CPU: %.2f %% of "
        "one core\n",
        kSeconds, cpu, 100 * cpu / kSeconds);
    return 0;
}
