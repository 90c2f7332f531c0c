// Tone synthesis and the WAV file layout, byte by byte.
#include <QtTest>

#include "core/morse/WaveFile.h"
#include "core/morse/WaveSynthesis.h"

namespace {

SampleBuffer Tone(double frequency, double duration, int quality, int volume) {
    ToneSynthParams params;
    params.frequency = frequency;
    params.duration = duration;
    params.rampIn = params.rampOut = RampForQuality(quality);
    params.gain = GainForVolume(volume);
    SampleBuffer buffer(50, qint16(123));  // whatever it held is discarded
    SynthesizeTone(buffer, kWaveSampleRate, kWaveBaseAmplitude, params);
    return buffer;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestWaveSynthesis : public QObject {
    Q_OBJECT

  private slots:
    void tones_data() {
        QTest::addColumn<double>("frequency");
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("volume");
        QTest::addColumn<QList<int>>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("peak");
        // A = 10000 raised by g = 1.00054 at 800 Hz.
        QTest::newRow("800 Hz hard, volume 1")
            << 800.0 << 220.0 << 5 << 1 << QList<int>{570, 1702, 2813} << 9702 << 10005;
        QTest::newRow("800 Hz, 60 ms ramps")
            << 800.0 << 220.0 << 1 << 1 << QList<int>{0, 1, 2, 4, 7, 11} << 9702 << 10005;
        QTest::newRow("800 Hz, 10 dB")
            << 800.0 << 220.0 << 5 << 5 << QList<int>{1802} << 9702 << 31640;
        QTest::newRow("6000 Hz, 10 dB")
            << 6000.0 << 220.0 << 5 << 5 << QList<int>{} << 9702 << 32605;
        // 72 ms is shorter than both ramps: the ramp-out scales the ramped-in samples
        // again, so the peak is about (n / 2m)^2 = 0.36 of A, not 0.6.
        QTest::newRow("72 ms dot, overlapping ramps")
            << 800.0 << 72.0 << 1 << 1 << QList<int>{0, 1, 2, 4, 7} << 3175 << 3598;
        QTest::newRow("270 ms") << 800.0 << 270.0 << 5 << 1 << QList<int>{570} << 11907 << 10005;
    }
    void tones() {
        QFETCH(double, frequency);
        QFETCH(double, duration);
        QFETCH(int, quality);
        QFETCH(int, volume);
        QFETCH(QList<int>, first);
        QFETCH(int, count);
        QFETCH(int, peak);
        const SampleBuffer tone = Tone(frequency, duration, quality, volume);
        QCOMPARE(tone.size(), count);
        for (int i = 0; i < first.size(); ++i) {
            QCOMPARE(int(tone[i]), first[i]);
        }
        QCOMPARE(int(*std::max_element(tone.begin(), tone.end())), peak);
        if (peak > 5000) {  // a full-strength middle swings evenly
            QCOMPARE(int(*std::min_element(tone.begin(), tone.end())), -peak);
        }
        if (quality != 5) {
            QCOMPARE(tone.last(), qint16(0));
        }
    }

    void frequenciesWithoutAToneGiveSilence_data() {
        QTest::addColumn<double>("frequency");
        QTest::newRow("0") << 0.0;
        QTest::newRow("the rate") << 44100.0;
        QTest::newRow("above") << 60000.0;
    }
    void frequenciesWithoutAToneGiveSilence() {
        QFETCH(double, frequency);
        const SampleBuffer tone = Tone(frequency, 90, 1, 5);
        QCOMPARE(tone.size(), 3969);
        QVERIFY(std::all_of(tone.begin(), tone.end(), [](qint16 s) { return s == 0; }));
    }

    void headerFieldsAndSizes() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("E.wav"));
        const SampleBuffer samples{0, 1, -1, 32767, -32768};
        QVERIFY(WaveFile::Write(path, samples));
        const QByteArray expected = QByteArray::fromHex(
            "52494646"
            "2e000000"
            "57415645"
            "666d7420"
            "10000000"
            "0100"
            "0100"
            "44ac0000"
            "88580100"
            "0200"
            "1000"
            "64617461"
            "0a000000"
            "0000"
            "0100"
            "ffff"
            "ff7f"
            "0080");
        QCOMPARE(ReadAll(path), expected);
    }
};

QTEST_GUILESS_MAIN(TestWaveSynthesis)
#include "test_wave_synthesis.moc"
