// Plays through the real sound output into the private null sink that with-null-sink.sh
// starts, and checks the recorded monitor; then freezes and kills that server mid-tone.
#include <QtTest>
#include <csignal>
#include <thread>

#include "MonitorRecording.h"
#include "core/kit/RealClock.h"
#include "core/morse/WaterfallSpectrum.h"
#include "core/sound/CaptureSources.h"
#include "core/sound/CaptureStream.h"
#include "core/sound/RealSoundOutput.h"
#include "support/WaveTestRig.h"

Q_DECLARE_METATYPE(SymbolId)

using namespace Qt::StringLiterals;

namespace {

constexpr int kServerWaitMs = 15000;
constexpr int kUnitMs = 90;  // 60 per minute

// Sends the signal to the sound server from another thread a little after the call begins,
// so that it hits a tone that is already playing.
class ServerSignal {
  public:
    explicit ServerSignal(int signal) {
        const pid_t server = qEnvironmentVariableIntValue("QUILL_PULSE_PID");
        m_thread = std::thread([server, signal] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ::kill(server, signal);
        });
    }
    ~ServerSignal() { m_thread.join(); }

  private:
    std::thread m_thread;
};

}  // namespace

class TestRealSound : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIntValue("QUILL_PULSE_PID") <= 0) {
            QSKIP("needs the private sound server of with-null-sink.sh");
        }
    }

    void toneAndGapHaveTheirLengthsAndPitch() {
        RealClock clock;
        RealSoundOutput sound(clock);
        QTRY_VERIFY_WITH_TIMEOUT(sound.isSoundOn(), kServerWaitMs);
        QTemporaryDir folder;
        const QString wavPath = folder.filePath(QStringLiteral("monitor.wav"));
        MonitorRecorder recorder;
        QVERIFY(recorder.start(wavPath));
        Delay(clock, 1000);  // the recorder settles first
        // Planned ahead, as the program plays: a late window thread cannot stretch the gap.
        sound.planTone(800, 300);
        sound.planGap(200);
        sound.planTone(800, 120);
        sound.planGap(400);
        QVERIFY(sound.waitUntilHeard(sound.plannedEnd(), [] { return false; }));
        QVERIFY(sound.isSoundOn());
        QVERIFY(recorder.stop());

        const Recording recording = ReadWav(wavPath);
        const QList<ToneEdges> tones = FindTones(recording, 800);
        QCOMPARE(tones.size(), 2);
        // Sample-exact on the timeline; 1 ms is 48 recorded samples of slack.
        QVERIFY2(qAbs(tones[0].endMs - tones[0].startMs - 300) < 1.0, "first tone");
        QVERIFY2(qAbs(tones[1].startMs - tones[0].endMs - 200) < 1.0, "gap");
        QVERIFY2(qAbs(tones[1].endMs - tones[1].startMs - 120) < 1.0, "second tone");
        QVERIFY(qAbs(MeasureFrequency(recording, tones[0]) - 800) < 1.0);
    }

    void aWaveSymbolPlaysItsFileThenItsClosingGap_data() {
        QTest::addColumn<SymbolId>("symbol");
        QTest::addColumn<double>("closingGapMs");
        QTest::newRow("A") << SymbolId::A << 135.0;    // 1.5 units
        QTest::newRow("AR") << SymbolId::AR << 315.0;  // 3.5 units
    }

    void aWaveSymbolPlaysItsFileThenItsClosingGap() {
        QFETCH(SymbolId, symbol);
        QFETCH(double, closingGapMs);
        RealClock clock;
        RealSoundOutput sound(clock);
        QTRY_VERIFY_WITH_TIMEOUT(sound.isSoundOn(), kServerWaitMs);
        QTemporaryDir folder;
        Places places(folder.path(), folder.path());
        FakeSoundControls controls;
        controls.quality = 3;
        controls.volume = 3;
        MorseSoundState state;
        WaveGenerator wave(sound, controls, state, clock, places);
        const QString wavPath = folder.filePath(QStringLiteral("monitor.wav"));
        MonitorRecorder recorder;
        QVERIFY(recorder.start(wavPath));
        Delay(clock, 1000);  // the recorder settles first
        // Twice: the second stream's first sample is the next sound after the closing gap.
        wave.SoundCharacterWave(symbol, kUnitMs, 800);
        wave.SoundCharacterWave(symbol, kUnitMs, 800);
        sound.Gap(400);
        QVERIFY(sound.isSoundOn());
        QVERIFY(recorder.stop());

        const Recording file = ReadWav(wave.FilePath(symbol));
        QCOMPARE(file.sampleRate, kWaveSampleRate);
        const Recording recording = ReadWav(wavPath);
        const QList<ToneEdges> own = FindTones(file, 800);
        const QList<ToneEdges> tones = FindTones(recording, 800);
        QVERIFY(!own.isEmpty());
        QCOMPARE(tones.size(), 2 * own.size());
        // The tones' edges place each stream to a few hundredths of a millisecond, the
        // samples to a fraction of a recorded sample. Searching less than half a period
        // (1.25 ms) either way, the match cannot slip by a whole period.
        const auto match = [&](qsizetype tone) {
            return MatchSamples(recording, file, tones[tone].startMs - own[0].startMs, 0.5);
        };
        const SamplesMatch first = match(0);
        const SamplesMatch second = match(own.size());
        const double fileMs = file.samples.size() * 1000.0 / file.sampleRate;
        const double gapError = second.startMs - first.startMs - fileMs - closingGapMs;
        qInfo("correlation %.5f and %.5f, closing gap off by %+.4f ms", first.correlation,
              second.correlation, gapError);
        QVERIFY(first.correlation >= 0.9);
        QVERIFY(second.correlation >= 0.9);
        QVERIFY(qAbs(gapError) <= 1.0);
    }

    // An output's monitor recorded: the tone played there is the one signal of its waterfall.
    // A second output's monitor, recorded as the output is removed, is a source gone.
    void anOutputsMonitorIsRecordedUntilItGoes() {
        QProcess pactl;
        pactl.start(u"pactl"_s, {u"load-module"_s, u"module-null-sink"_s, u"sink_name=second"_s});
        QVERIFY(pactl.waitForFinished(kServerWaitMs) && pactl.exitCode() == 0);
        const QString module = QString::fromUtf8(pactl.readAllStandardOutput().trimmed());
        CaptureSources sources;
        QSignalSpy listed(&sources, &CaptureSources::listed);
        sources.request();
        QVERIFY(listed.wait(kServerWaitMs));
        const auto found = listed.at(0).at(0).value<QList<CaptureSource>>();
        const auto monitor = std::find_if(
            found.begin(), found.end(),
            [](const CaptureSource& source) { return source.name == u"nullsink.monitor"_s; });
        QVERIFY(monitor != found.end() && monitor->monitorOfOutput);
        RealClock clock;
        RealSoundOutput sound(clock);
        QTRY_VERIFY_WITH_TIMEOUT(sound.isSoundOn(), kServerWaitMs);
        CaptureStream stream;
        const int rate = monitor->sampleRate;
        WaterfallSpectrum spectrum(rate);
        // Taken as they come, as the window does.
        connect(&stream, &CaptureStream::blocksReady, this, [&] {
            for (CaptureBlock block; stream.takeBlock(block);) {
                spectrum.add(block.samples);
            }
        });
        stream.start("nullsink.monitor", rate);
        QTRY_COMPARE_WITH_TIMEOUT(stream.state(), CaptureStream::State::Running, kServerWaitMs);
        sound.planTone(800, 1500);
        QVERIFY(sound.waitUntilHeard(sound.plannedEnd(), [] { return false; }));
        Delay(clock, 300);  // the last blocks on their way
        QCOMPARE(stream.droppedBlocks(), 0);
        const std::vector<SpectrumPeak> pitches = spectrum.strongestPitches();
        QCOMPARE(pitches.size(), size_t{1});
        QCOMPARE_LE(std::abs(pitches.front().hz - 800), spectrum.binSpacingHz() / 2);
        stream.start("second.monitor", rate);
        QTRY_COMPARE_WITH_TIMEOUT(stream.state(), CaptureStream::State::Running, kServerWaitMs);
        // A frozen server brings no sound: a stall, and running again once it thaws.
        const pid_t server = qEnvironmentVariableIntValue("QUILL_PULSE_PID");
        ::kill(server, SIGSTOP);
        QTRY_COMPARE_WITH_TIMEOUT(stream.state(), CaptureStream::State::Stalled, kServerWaitMs);
        QCOMPARE(stream.fault(), CaptureFault::NoData);
        ::kill(server, SIGCONT);
        QTRY_COMPARE_WITH_TIMEOUT(stream.state(), CaptureStream::State::Running, kServerWaitMs);
        pactl.start(u"pactl"_s, {u"unload-module"_s, module});
        QVERIFY(pactl.waitForFinished(kServerWaitMs) && pactl.exitCode() == 0);
        QTRY_COMPARE_WITH_TIMEOUT(stream.state(), CaptureStream::State::Failed, kServerWaitMs);
        QCOMPARE(stream.fault(), CaptureFault::SourceGone);
    }

    void aFrozenServerNeitherHangsNorStopsTheTimeline() {
        RealClock clock;
        RealSoundOutput sound(clock);
        QTRY_VERIFY_WITH_TIMEOUT(sound.isSoundOn(), kServerWaitMs);
        {
            ServerSignal freeze(SIGSTOP);
            sound.Beep(800, 800);
        }
        QTRY_VERIFY(!sound.isSoundOn());
        sound.Beep(800, 100);
        sound.Gap(100);
        const pid_t server = qEnvironmentVariableIntValue("QUILL_PULSE_PID");
        ::kill(server, SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(sound.isSoundOn(), kServerWaitMs);

        ::kill(server, SIGSTOP);
        QTimer::singleShot(500, &clock, &Clock::requestQuit);
        sound.Gap(60000);  // quitting ends it
        ::kill(server, SIGCONT);
        QVERIFY(clock.quitting());
    }

    // Last: the server is gone afterwards.
    void aKilledServerLeavesTheCallsOnTheSilentTimeline() {
        RealClock clock;
        RealSoundOutput sound(clock);
        QTRY_VERIFY_WITH_TIMEOUT(sound.isSoundOn(), kServerWaitMs);
        {
            ServerSignal kill(SIGKILL);
            sound.Beep(800, 800);
        }
        QTRY_VERIFY(!sound.isSoundOn());
        const qint64 before = clock.now();
        sound.Gap(100);
        sound.Beep(800, 100);
        QVERIFY(clock.now() - before >= 150);  // the calls still take their time
        QVERIFY(!sound.isSoundOn());
    }
};

QTEST_GUILESS_MAIN(TestRealSound)
#include "test_real_sound.moc"
