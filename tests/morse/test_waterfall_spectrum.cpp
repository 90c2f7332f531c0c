#include <QtTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "core/morse/WaterfallSpectrum.h"

namespace {

struct Tone {
    double hz;
    double amplitude;
};

// Steady sines in white noise, made here from their definitions.
std::vector<float> Sound(int rate, double seconds, const QList<Tone>& tones, double noise) {
    std::mt19937 random(11);
    std::normal_distribution<double> hiss(0, noise > 0 ? noise : 1);
    std::vector<float> sound(static_cast<size_t>(seconds * rate));
    for (size_t n = 0; n < sound.size(); ++n) {
        double value = noise > 0 ? hiss(random) : 0;
        for (const Tone& tone : tones) {
            value += tone.amplitude * std::sin(2 * M_PI * tone.hz * static_cast<double>(n) / rate);
        }
        sound[n] = static_cast<float>(value);
    }
    return sound;
}

}  // namespace

class TestWaterfallSpectrum : public QObject {
    Q_OBJECT

  private slots:
    // A sine peaks in the bin of its pitch in every row, at any rate; the bins are about 5 Hz
    // over 200 to 1,500 Hz, a row comes every 50 to 100 ms, and the pitch found between the
    // bins is nearer than the bin alone.
    void aSineLandsInItsBin_data() {
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("hz");
        QTest::newRow("8 kHz, 700 Hz") << 8000 << 700.0;
        QTest::newRow("44.1 kHz, between two bins") << 44100 << 702.5;
        QTest::newRow("48 kHz, high") << 48000 << 1463.3;
        QTest::newRow("an odd rate, low") << 11111 << 251.7;
    }
    void aSineLandsInItsBin() {
        QFETCH(int, rate);
        QFETCH(double, hz);
        WaterfallSpectrum spectrum(rate);
        QVERIFY(spectrum.isValid());
        const double spacing = spectrum.binSpacingHz();
        QVERIFY(spacing >= 4 && spacing <= 6);
        const double first = spectrum.frequencyOf(0);
        const double last = spectrum.frequencyOf(spectrum.binCount() - 1);
        QVERIFY(first >= 200 && first - spacing < 200 && last <= 1500 && last + spacing > 1500);
        QCOMPARE(spectrum.binOf(100), -1);
        QCOMPARE_LE(std::abs(spectrum.frequencyOf(spectrum.binOf(hz)) - hz), spacing / 2 + 1e-9);
        const std::vector<float> sound = Sound(rate, 2, {{hz, 0.5}}, 0.05);
        std::vector<WaterfallSpectrum::Row> rows;
        const auto block = static_cast<size_t>(rate / 50);  // 20 ms, as a capture stream gives
        for (size_t at = 0; at < sound.size(); at += block) {
            for (auto& row :
                 spectrum.add(std::span(sound).subspan(at, std::min(block, sound.size() - at)))) {
                rows.push_back(std::move(row));
            }
        }
        QVERIFY(rows.size() >= 2 * 10 - 2 && rows.size() <= 2 * 20);
        for (const WaterfallSpectrum::Row& row : rows) {
            QCOMPARE(row.size(), static_cast<size_t>(spectrum.binCount()));
            const auto loudest =
                static_cast<int>(std::max_element(row.begin(), row.end()) - row.begin());
            QCOMPARE_LE(std::abs(spectrum.frequencyOf(loudest) - hz), spacing / 2 + 1e-9);
        }
        const std::vector<SpectrumPeak> pitches = spectrum.strongestPitches();
        QCOMPARE(pitches.size(), size_t{1});
        QCOMPARE_LE(std::abs(pitches.front().hz - hz), spacing / 4);
    }

    // The signals a decoder may follow: each clear of the floor and of the stronger ones.
    void signalsAreTheClearPeaks_data() {
        QTest::addColumn<QList<Tone>>("tones");
        QTest::addColumn<double>("noise");
        QTest::addColumn<QList<double>>("pitches");  // strongest first
        QTest::newRow("two signals")
            << QList<Tone>{{600, 0.3}, {900, 0.2}} << 0.05 << QList<double>{600, 900};
        QTest::newRow("white noise alone") << QList<Tone>{} << 0.2 << QList<double>{};
        QTest::newRow("silence") << QList<Tone>{} << 0.0 << QList<double>{};
        QTest::newRow("closer than 40 Hz: the stronger")
            << QList<Tone>{{600, 0.3}, {625, 0.1}} << 0.05 << QList<double>{600};
        QTest::newRow("five signals: the four strongest")
            << QList<Tone>{{400, 0.3}, {600, 0.25}, {800, 0.2}, {1000, 0.15}, {1200, 0.1}} << 0.05
            << QList<double>{400, 600, 800, 1000};
        QTest::newRow("under the floor's 6 dB")
            << QList<Tone>{{700, 0.0005}} << 0.05 << QList<double>{};
    }
    void signalsAreTheClearPeaks() {
        QFETCH(QList<Tone>, tones);
        QFETCH(double, noise);
        QFETCH(QList<double>, pitches);
        WaterfallSpectrum spectrum(8000);
        spectrum.add(Sound(8000, 3, tones, noise));
        const std::vector<SpectrumPeak> found = spectrum.strongestPitches();
        QCOMPARE(found.size(), static_cast<size_t>(pitches.size()));
        for (qsizetype i = 0; i < pitches.size(); ++i) {
            QCOMPARE_LE(std::abs(found[static_cast<size_t>(i)].hz - pitches[i]), 1.0);
        }
    }

    // Sound no spectrum can hold is refused; a block that is no number is silence.
    void badInputIsRefused_data() {
        QTest::addColumn<int>("rate");
        QTest::addColumn<float>("value");
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("rate zero") << 0 << 0.5f;
        QTest::newRow("too slow to hold 1,500 Hz") << 2000 << 0.5f;
        QTest::newRow("an absurd rate") << std::numeric_limits<int>::max() << 0.5f;
        QTest::newRow("no numbers") << 8000 << nan;
    }
    void badInputIsRefused() {
        QFETCH(int, rate);
        QFETCH(float, value);
        WaterfallSpectrum spectrum(rate);
        QVERIFY(spectrum.add({}).empty());
        const std::vector<float> block(16000, value);
        for (const WaterfallSpectrum::Row& row : spectrum.add(block)) {
            QVERIFY(std::all_of(row.begin(), row.end(),
                                [](float level) { return std::isfinite(level) && level < -100; }));
        }
        QVERIFY(spectrum.strongestPitches().empty());
        QCOMPARE(spectrum.isValid(), rate == 8000);
    }
};

QTEST_GUILESS_MAIN(TestWaterfallSpectrum)
#include "test_waterfall_spectrum.moc"
