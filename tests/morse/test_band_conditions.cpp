#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>
#include <map>

#include "core/kit/ProgramSettings.h"
#include "core/morse/BandConditions.h"
#include "core/morse/BandEffect.h"
#include "core/sound/BandMixer.h"
#include "core/sound/BandRenderer.h"
#include "support/BandEverything.h"
#include "support/SilentSoundOutput.h"
#include "support/VirtualClock.h"

using namespace Qt::StringLiterals;

namespace {

// The silent output, keeping every sample mixed into it by position.
class MixingOutput : public SilentSoundOutput {
  public:
    using SilentSoundOutput::SilentSoundOutput;
    std::map<SoundPosition, int> mixed;

  protected:
    void mixSamples(SoundPosition at, const QVector<qint16>& samples) override {
        for (qsizetype i = 0; i < samples.size(); ++i) {
            mixed[at + i] += samples[i];
        }
    }
};

// A character's worth of elements, as the generators plan them; the positions they were given.
QList<SoundPosition> PlanCharacter(SoundOutput& output) {
    QList<SoundPosition> at;
    for (int ms : {60, 180, 60}) {
        at << output.planTone(800, ms) << output.planGap(60);
    }
    const QVector<qint16> down(900, 3000), up(441, 0);
    at << output.planWave(up + down + up + down, 44100) << output.planGap(180);
    at << output.plannedEnd();
    return at;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Each effect switched on with a figure that is not a number.
const std::pair<const char*, void (*)(BandConditions&)> kSpoiled[] = {
    {"noise", [](BandConditions& c) { c.noiseOn = true, c.snrDb = kNaN; }},
    {"fading", [](BandConditions& c) { c.fadingOn = true, c.fadingHz = kNaN; }},
    {"crashes", [](BandConditions& c) { c.crashesOn = true, c.crashesPerSecond = kNaN; }},
    {"chirp", [](BandConditions& c) { c.chirpOn = true, c.chirpHz = kNaN; }},
    {"jitter", [](BandConditions& c) { c.fistOn = true, c.jitterPercent = kNaN; }},
    {"weight", [](BandConditions& c) { c.fistOn = true, c.weightPercent = kNaN; }},
    {"QRM", [](BandConditions& c) { c.stationCount = 1, c.stationLevelDb = kNaN; }},
};

}  // namespace

class TestBandConditions : public QObject {
    Q_OBJECT

  private slots:
    // The same seed and settings give the same samples however the rendering is cut into blocks;
    // another seed gives other samples.
    void renderingDependsOnlyOnSeedSettingsAndIndex_data() {
        QTest::addColumn<int>("block");
        QTest::addColumn<qint64>("count");
        // Sample by sample over a few frames and their seams only: every block boundary is tried
        // there, and three seconds of it would render each frame a thousand times over.
        QTest::newRow("one sample") << 1 << qint64{4 * BandRenderer::kFrame + 301};
        QTest::newRow("odd blocks") << 997 << qint64{3 * 44100 / 2};
        QTest::newRow("frame size") << BandRenderer::kFrame << qint64{3 * 44100 / 2};
        QTest::newRow("one second") << 44100 << qint64{3 * 44100 / 2};
    }
    void renderingDependsOnlyOnSeedSettingsAndIndex() {
        QFETCH(int, block);
        QFETCH(qint64, count);
        const BandSettings settings = ToBandSettings(BandEverything(), 700);
        constexpr qint64 kFirst = 123456;
        const QVector<qint16> whole = BandRenderer(settings).background(kFirst, count);
        BandRenderer cut(settings);
        QVector<qint16> pieces;
        // From the end backwards, so no cache of the block before can help.
        for (qint64 end = count; end > 0; end -= block) {
            const qint64 from = std::max<qint64>(0, end - block);
            pieces = cut.background(kFirst + from, end - from) + pieces;
        }
        QCOMPARE(pieces, whole);
        QVector<qint16> wantedWhole(count, 5000);
        BandRenderer(settings).shapeWanted(kFirst, wantedWhole);
        QVector<qint16> wantedCut(count, 5000);
        for (qint64 from = 0; from < count; from += block) {
            QVector<qint16> piece = wantedCut.mid(from, block);
            cut.shapeWanted(kFirst + from, piece);
            std::copy(piece.cbegin(), piece.cend(), wantedCut.begin() + from);
        }
        QCOMPARE(wantedCut, wantedWhole);

        BandConditions other = BandEverything();
        other.seed = 4243;
        QVERIFY(BandRenderer(ToBandSettings(other, 700)).background(kFirst, count) != whole);
    }

    // With every effect off the output is given exactly the samples it was given before; with
    // any on it is not, and the wanted signal keeps its place on the timeline but for the fist.
    void theWantedSignalKeepsItsTiming_data() {
        QTest::addColumn<int>("effect");
        QTest::addColumn<bool>("samplesKept");
        QTest::newRow("never set") << -1 << true;
        QTest::newRow("all off") << 0 << true;
        QTest::newRow("noise") << 1 << false;
        QTest::newRow("every effect but the fist") << 2 << false;
    }
    void theWantedSignalKeepsItsTiming() {
        QFETCH(int, effect);
        QFETCH(bool, samplesKept);
        VirtualClock clock;
        MixingOutput plain(clock);
        MixingOutput band(clock);
        if (effect >= 0) {
            BandConditions c = effect == 2 ? BandEverything() : BandConditions{};
            c.noiseOn = effect > 0;
            band.setBandConditions(ToBandSettings(c, 800));
        }
        QCOMPARE(PlanCharacter(band), PlanCharacter(plain));
        QCOMPARE(band.mixed == plain.mixed, samplesKept);
        if (effect > 0) {
            // Noise all through the character, gaps included.
            const SoundPosition end = band.plannedEnd();
            QVERIFY(band.mixed.count(end - 10) == 1 && band.mixed[end - 10] != 0);
        }
    }

    // Same seed and settings: each character of a lesson the same, whatever was played before it.
    void aLessonSoundsTheSameWhateverCameBefore() {
        VirtualClock clock;
        BandConditions c = BandEverything();
        c.fistOn = true;
        std::map<SoundPosition, int> heard[2];  // each character from its start, ten seconds apart
        for (int i = 0; i < 2; ++i) {
            MixingOutput output(clock);
            output.setBandConditions(ToBandSettings(c, 800));
            output.planTone(600, 700 + 900 * i);
            clock.waitUntil(clock.now() + 1000);  // the first heard, the second still sounding
            output.restartBand();
            for (const SoundPosition apart : {0, 10 * 44100}) {
                output.mixed.clear();
                const SoundPosition start = output.nextPosition();
                PlanCharacter(output);
                for (const auto& [at, value] : output.mixed) {
                    heard[i][apart + at - start] = value;
                }
                clock.waitUntil(clock.now() + 1500 + 700 * i);  // Step mode: the listener's wait
            }
        }
        QVERIFY(heard[0].size() > 44100 / 2 && heard[0] == heard[1]);
    }

    // The fist moves the elements but keeps the sender's speed: every length stays positive,
    // the planned positions follow the lengths as sent, and the character ends near its nominal
    // end.
    void theFistKeepsTheSpeed() {
        VirtualClock clock;
        MixingOutput plain(clock);
        MixingOutput band(clock);
        BandConditions c;
        c.fistOn = true;
        c.jitterPercent = 20;
        c.weightPercent = 25;
        band.setBandConditions(ToBandSettings(c, 800));
        QList<SoundPosition> sent;
        QList<SoundPosition> nominal;
        for (int i = 0; i < 20; ++i) {
            sent += PlanCharacter(band);
            nominal += PlanCharacter(plain);
        }
        QVERIFY(sent != nominal);
        QVERIFY(sent[7] - sent[6] != nominal[7] - nominal[6]);  // the recorded wave's key-ups
        QVERIFY(std::is_sorted(sent.cbegin(), sent.cend()));
        const double drift = std::abs(sent.last() - nominal.last()) / 44.1;
        QVERIFY2(drift <= 200, qPrintable(QString::number(drift)));
    }

    // The receiver's gain: a tone keyed all through stays near its own loudness in every second
    // (crashes and strong stations held down, a faded signal raised), and nothing clips.
    void theGainKeepsTheLoudness_data() {
        QTest::addColumn<int>("preset");
        QTest::addColumn<double>("crashDb");
        QTest::addColumn<double>("quietestDb");  // the quietest second against the tone alone
        for (int preset = 1; preset < BandPresets().size(); ++preset) {
            QTest::addRow("%s", qPrintable(BandPresets()[preset].name)) << preset << 0.0 << -6.0;
        }
        QTest::newRow("crashes 20 dB over the tone") << 4 << 20.0 << -15.0;
    }
    void theGainKeepsTheLoudness() {
        QFETCH(int, preset);
        QFETCH(double, crashDb);
        QFETCH(double, quietestDb);
        BandConditions c = BandPresets()[preset].conditions;
        c.crashDb = std::max(c.crashDb, crashDb);
        const BandRenderer renderer(ToBandSettings(c, 800));
        constexpr qint64 kSecond = 44100;
        QVector<qint16> tone(8 * kSecond, 0);
        for (qsizetype i = 0; i < tone.size(); ++i) {
            tone[i] = static_cast<qint16>(BandRenderer::kWantedAmplitude * std::sin(i * 0.114));
        }
        const double alone = BandRenderer::kWantedAmplitude / std::sqrt(2.0);
        renderer.shapeWanted(0, tone);
        const QVector<qint16> background = renderer.background(0, tone.size());
        double quietest = 1e9;
        qsizetype firstClipped = -1;  // checked once: a check per sample is most of the test's time
        for (qsizetype from = 0; from < tone.size(); from += kSecond) {
            double power = 0;
            for (qsizetype i = from; i < from + kSecond; ++i) {
                const int sum = tone[i] + background[i];
                if (std::abs(sum) >= 32767 && firstClipped < 0) {
                    firstClipped = i;
                }
                power += static_cast<double>(sum) * sum;
            }
            quietest = std::min(quietest, 20 * std::log10(std::sqrt(power / kSecond) / alone));
        }
        QVERIFY2(firstClipped < 0, qPrintable(QString::number(firstClipped)));
        QVERIFY2(quietest >= quietestDb, qPrintable(QString::number(quietest)));
    }

    // A recorded mark weighted by whole periods and chirped at its start, its pitch kept; off, the
    // recording as it is.
    void recordedMarksAreWeightedAndChirped_data() {
        QTest::addColumn<double>("weight");
        QTest::addColumn<bool>("chirp");
        QTest::newRow("off") << 0.0 << false;
        QTest::newRow("heavy") << 25.0 << false;
        QTest::newRow("light") << -25.0 << false;
        QTest::newRow("chirp") << 0.0 << true;
    }
    void recordedMarksAreWeightedAndChirped() {
        QFETCH(double, weight);
        QFETCH(bool, chirp);
        const QVector<qint16> up(441, 0);
        QVector<qint16> mark(4410);
        for (qsizetype i = 0; i < mark.size(); ++i) {
            mark[i] = static_cast<qint16>(std::lround(8000 * std::sin(i * 0.11398)));
        }
        BandConditions c;
        c.fistOn = weight != 0;
        c.jitterPercent = 0;
        c.weightPercent = weight;
        c.chirpOn = chirp;
        BandMixer mixer;
        mixer.setSettings(ToBandSettings(c, 800));
        const QVector<qint16> sent = mixer.fistWave(0, up + mark + up);
        const auto sounds = [](qint16 sample) { return sample != 0; };
        const qsizetype first = std::find_if(sent.cbegin(), sent.cend(), sounds) - sent.cbegin();
        const qsizetype last =
            sent.crend() - std::find_if(sent.crbegin(), sent.crend(), sounds) - 1;
        const qsizetype markLast =
            mark.crend() - std::find_if(mark.crbegin(), mark.crend(), sounds) - 1;
        const qsizetype length = last - first + 1;
        QVERIFY2(std::abs(length - 4410 * (1 + weight / 100)) < 56,
                 qPrintable(QString::number(length)));
        QCOMPARE(sent == up + mark + up, weight == 0 && !chirp);
        // In step again by the mark's end: the same samples but for the chirp's last trace.
        for (qsizetype i = 0; i < 300; ++i) {
            QVERIFY(std::abs(sent[last - i] - mark[markLast - i]) < 20);
        }
    }

    // Kept in the program's settings file; what is missing reads as the default; the presets
    // begin with all off, and the hand's preset is the hand alone.
    void conditionsAreKeptAndPresetsOffered() {
        QTemporaryDir dir;
        ProgramSettings store(dir.filePath(u"quillstart.ini"_s));
        QCOMPARE(LoadBandConditions(store), BandConditions{});
        const BandConditions c = BandEverything();
        QVERIFY(SaveBandConditions(store, c));
        QCOMPARE(LoadBandConditions(store), c);
        const QList<BandPreset> presets = BandPresets();
        QVERIFY(!presets.first().conditions.anyOn() && presets.size() >= 3);
        QCOMPARE(presets.last().conditions.summary(), u"FIST 12%/10%"_s);
        QCOMPARE(BandConditions{}.summary(), QString());
        QCOMPARE(c.summary(),
                 u"SNR 10dB QSB 2Hz QRM 3 ±600Hz 15-30WPM -6dB QRN 5/s 0dB CHIRP 30Hz"_s);
        QCOMPARE(StationTexts(c), StationTexts(c));
        QCOMPARE(StationTexts(c).size(), 3);
    }

    // Each effect is switched by its first field alone: on, it is on and has its words in the
    // account, and nothing else is; the request's and the file's fields are the effects' own.
    void eachEffectIsSwitchedByItsHead() {
        qsizetype fields = 0;
        for (const BandEffect* effect : BandEffects()) {
            const QList<BandConditionField> own = effect->fields;
            QVERIFY(own.front().headsEffect());
            QVERIFY(std::none_of(own.begin() + 1, own.end(),
                                 [](const BandConditionField& f) { return f.headsEffect(); }));
            BandConditions c;
            QVERIFY(!effect->isOn(c) && effect->summary(c).isEmpty());
            own.front().set(c, 1);
            QVERIFY(effect->isOn(c) && c.anyOn());
            QCOMPARE(c.summary(), effect->summary(c));
            QVERIFY(!c.summary().isEmpty());
            fields += own.size();
        }
        QCOMPARE(BandConditionFields().size(), fields);
    }

    // A value that is not a figure its field may hold (not a number, not finite, out of range,
    // a count or switch that is not whole) is refused and named; the default stays.
    void unfitSettingsAreRefused_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("taken");
        QTest::newRow("NaN") << u"snrDb=nan"_s << false;
        QTest::newRow("NaN in Qt's binary form")
            << uR"(weightPercent=@Variant(\0\0\0\x6\x7f\xf8\0\0\0\0\0\0))"_s << false;
        QTest::newRow("far out of range") << u"snrDb=1e9"_s << false;
        QTest::newRow("a negative rate") << u"crashesPerSecond=-1"_s << false;
        QTest::newRow("half a station") << u"stations=2.5"_s << false;
        QTest::newRow("a word for a count") << u"stations=many"_s << false;
        QTest::newRow("a switch neither on nor off") << u"chirp=yes"_s << false;
        QTest::newRow("a seed that is no number") << u"seed=x7"_s << false;
        QTest::newRow("the lowest SNR") << u"snrDb=-10"_s << true;
    }
    void unfitSettingsAreRefused() {
        QFETCH(QString, line);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"quillstart.ini"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((u"[band]\nstationWpmLow=20\n"_s + line + u'\n').toUtf8());
        file.close();
        QStringList refused;
        const BandConditions read = LoadBandConditions(ProgramSettings(file.fileName()), &refused);
        QCOMPARE(read.stationWpmLow, 20);  // the others are read all the same
        QCOMPARE(refused.size(), taken ? 0 : 1);
        if (!taken) {
            QCOMPARE(refused[0].section(u'=', 0, 0), line.section(u'=', 0, 0));
            BandConditions expected;
            expected.stationWpmLow = 20;
            QCOMPARE(read, expected);
        }
    }

    // Whoever fills in the settings, an effect whose figure is not finite is not played: the
    // sound is what it is with the effect off.
    void unplayableFiguresSwitchTheirEffectOff_data() {
        QTest::addColumn<int>("effect");
        for (int i = 0; i < int(std::size(kSpoiled)); ++i) {
            QTest::newRow(kSpoiled[i].first) << i;
        }
    }
    void unplayableFiguresSwitchTheirEffectOff() {
        QFETCH(int, effect);
        BandConditions c;
        kSpoiled[effect].second(c);
        VirtualClock clock;
        MixingOutput withNaN(clock);
        MixingOutput plain(clock);
        withNaN.setBandConditions(ToBandSettings(c, 800));
        QCOMPARE(PlanCharacter(withNaN), PlanCharacter(plain));
        QVERIFY(withNaN.mixed == plain.mixed);
    }

    // The background and the wanted signal together never clip, a recording at the loudest
    // volume included, and the background fades in after a silence instead of clicking.
    void theSumNeverClipsNorClicks_data() {
        QTest::addColumn<int>("preset");
        QTest::newRow("weak signal") << 2;
        QTest::newRow("static") << 4;
    }
    void theSumNeverClipsNorClicks() {
        QFETCH(int, preset);
        VirtualClock clock;
        MixingOutput output(clock);
        BandConditions c = BandPresets()[preset].conditions;
        c.seed = 3;
        output.setBandConditions(ToBandSettings(c, 800));
        output.restartBand();
        const SoundPosition start = output.planGap(100);
        QVector<qint16> mark(44100 / 4);
        for (qsizetype i = 0; i < mark.size(); ++i) {
            mark[i] = static_cast<qint16>(std::lround(31623 * std::sin(i * 0.114)));  // +10 dB
        }
        for (int i = 0; i < 12; ++i) {
            output.planWave(mark, 44100);
            output.planGap(60);
        }
        QCOMPARE(std::count_if(output.mixed.cbegin(), output.mixed.cend(),
                               [](const auto& sample) { return std::abs(sample.second) >= 32767; }),
                 0);
        // The first millisecond of the band rises from silence.
        for (SoundPosition at = start; at < start + 44; ++at) {
            QVERIFY2(std::abs(output.mixed[at]) < 400, qPrintable(QString::number(at - start)));
        }
    }
};

QTEST_MAIN(TestBandConditions)
#include "test_band_conditions.moc"
