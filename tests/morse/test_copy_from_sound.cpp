#include <QtTest>
#include <cmath>

#include "core/morse/LiveSignDecoder.h"
#include "core/morse/MorseDecoder.h"
#include "core/morse/RecordingDecoder.h"
#include "core/morse/ToneKeyingDetector.h"
#include "support/KeyedSound.h"

namespace {

constexpr int kRate = kKeyedSoundRate;
constexpr double kPitch = kKeyedSoundPitch;
const QString kParis = QStringLiteral(".--.|.-|.-.|..|... ");

}  // namespace

class TestCopyFromSound : public QObject {
    Q_OBJECT
  private slots:
    void keyedWordsAreReadFromSound_data() {
        QTest::addColumn<double>("wpm");
        QTest::addColumn<double>("snr");
        QTest::addColumn<double>("neighbourHz");
        QTest::addColumn<bool>("spoiled");  // a sample in every thousand is no number
        const double clean = std::numeric_limits<double>::infinity();
        QTest::newRow("clean, 20 WPM") << 20.0 << clean << 0.0 << false;
        QTest::newRow("10 WPM, 0 dB") << 10.0 << 0.0 << 0.0 << false;
        QTest::newRow("40 WPM, +6 dB") << 40.0 << 6.0 << 0.0 << false;
        QTest::newRow("a steady carrier as loud, 300 Hz away") << 20.0 << 10.0 << 1000.0 << false;
        QTest::newRow("a damaged recording") << 20.0 << 10.0 << 0.0 << true;
    }
    void keyedWordsAreReadFromSound() {
        QFETCH(double, wpm);
        QFETCH(double, snr);
        QFETCH(double, neighbourHz);
        QFETCH(bool, spoiled);
        std::vector<float> sound = KeyedSound(kParis.repeated(5), wpm, snr, neighbourHz);
        for (size_t at = 500; spoiled && at < sound.size(); at += 1000) {
            sound[at] = std::numeric_limits<float>::quiet_NaN();
        }
        MorseDecoder decoder;
        ToneKeyingDetector detector(
            kRate, kPitch, 80,
            {[&](double ms) { decoder.addMark(ms); }, [&](double ms) { decoder.addGap(ms); }});
        // In pieces as a capture stream delivers them.
        for (size_t at = 0; at < sound.size(); at += 441) {
            detector.addSamples(
                std::span(sound).subspan(at, std::min<size_t>(441, sound.size() - at)));
        }
        detector.finish();
        decoder.finish();
        // Judged after the first word, as copy off the air is: the decoder learns the fist there.
        const QString text = decoder.text().simplified();
        QVERIFY2(text.endsWith(QStringLiteral(" PARIS PARIS PARIS PARIS")), qPrintable(text));
    }

    // Found wherever it is, or given a little off; weak signals copied whole characters at a
    // time; the speed as the timing rule has it; noise alone is no signal.
    void aRecordingIsCopiedWhereverItsSignalIs_data() {
        QTest::addColumn<double>("wpm");
        QTest::addColumn<double>("snr");
        QTest::addColumn<double>("pitchOff");  // the pitch given this far off; 0: none given
        QTest::addColumn<int>("words");
        QTest::newRow("found, 20 WPM, +3 dB") << 20.0 << 3.0 << 0.0 << 5;
        QTest::newRow("found, 20 WPM, -6 dB") << 20.0 << -6.0 << 0.0 << 5;
        QTest::newRow("found, 40 WPM, -2 dB") << 40.0 << -2.0 << 0.0 << 5;
        QTest::newRow("given 8 Hz off, 12 WPM, -6 dB") << 12.0 << -6.0 << 8.0 << 5;
        // Longer than the decoder searches at once: decoded in windows that must join.
        QTest::newRow("40 s at 40 WPM, +6 dB") << 40.0 << 6.0 << 0.0 << 27;
    }
    void aRecordingIsCopiedWhereverItsSignalIs() {
        QFETCH(double, wpm);
        QFETCH(double, snr);
        QFETCH(double, pitchOff);
        QFETCH(int, words);
        const std::vector<float> sound = KeyedSound(kParis.repeated(words), wpm, snr, 0);
        const std::optional<DecodedRecording> copy = DecodeRecording(
            sound, kRate, pitchOff > 0 ? std::optional(kPitch + pitchOff) : std::nullopt);
        QVERIFY(copy);
        QCOMPARE_LE(std::abs(copy->pitchHz - kPitch), 2.0);
        const QStringList copied = copy->text.split(u' ');
        QCOMPARE(copied.size(), words);
        QVERIFY2(
            copied.mid(1).join(u' ') == QStringList(words - 1, QStringLiteral("PARIS")).join(u' '),
            qPrintable(copy->text));
        QCOMPARE_LE(std::abs(copy->wpm - wpm), 0.1 * wpm);
        QVERIFY(!DecodeRecording(KeyedSound(QString(), 20, 0, 0), kRate));
    }

    // Live: what is decided is never taken back, every character is shown by the end of the word
    // gap after it, and the fist report's elements are the keyed ones.
    void soundIsDecodedAsItComes() {
        const double wpm = 20;
        const std::vector<float> sound = KeyedSound(kParis.repeated(5), wpm, 0, 0);
        const auto unitSamples = static_cast<size_t>(1.2 / wpm * kRate);
        LiveSignDecoder decoder(kRate, kPitch + 3);
        QString decided;
        for (size_t at = 0; at < sound.size(); at += 441) {
            decoder.addSamples(
                std::span(sound).subspan(at, std::min<size_t>(441, sound.size() - at)));
            QVERIFY2(decoder.text().startsWith(decided), qPrintable(decoder.text()));
            decided = decoder.text();
            // Seven units of silence, then words of 50 units, their word gap the last 7.
            if (at <= (7 + 150) * unitSamples && at + 441 > (7 + 150) * unitSamples) {
                const QString shown = (decoder.text() + decoder.tentative()).simplified();
                QVERIFY2(shown.endsWith(QStringLiteral("PARIS PARIS")), qPrintable(shown));
            }
        }
        decoder.finish();
        QVERIFY2(decoder.text().simplified().endsWith(QStringLiteral(" PARIS PARIS PARIS PARIS")),
                 qPrintable(decoder.text()));
        QCOMPARE_LE(std::abs(decoder.wpm() - wpm), 0.1 * wpm);
        const auto& characters = decoder.characters();
        QVERIFY(characters.size() >= 20);
        QCOMPARE(characters[characters.size() - 3].pattern, QStringLiteral(".-."));  // R
        const auto dashes = std::count_if(
            decoder.elements().begin(), decoder.elements().end(), [](const DecodedElement& e) {
                return e.kind == ElementKind::Dash && std::abs(e.ms - 180) <= 20;
            });
        QCOMPARE_GE(dashes, 5 * 5 - 5);  // P, A, R have five dashes a word
    }
};

QTEST_GUILESS_MAIN(TestCopyFromSound)
#include "test_copy_from_sound.moc"
