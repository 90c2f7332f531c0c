// Plays a fixed run of Morse symbols with the beep generator through the real sound output
// while the null sink's monitor is recorded, and prints how far the recorded tone edges lie
// from the nominal timeline, idle and beside two busy CPU loops, and the CPU time used.
// Run it through scripts/bench-sound.sh, which provides the sound server.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "MonitorRecording.h"
#include "core/kit/RealClock.h"
#include "core/morse/BeepGenerator.h"
#include "core/morse/MorseTable.h"
#include "core/sound/RealSoundOutput.h"
#include "support/RecordingSoundOutput.h"
#include "support/VirtualClock.h"

namespace {

constexpr int kFrequencyHz = 800;
constexpr int kUnitMs = 90;  // 60 characters per minute: the shortest gaps
const QString kText = QStringLiteral("CQ CQ DE JA1ZZ 5NN 73 TU");

class FixedControls : public SoundControls {
  public:
    int toneHz() const override { return kFrequencyHz; }
    int fineAdjustValue() const override { return 0; }
};

void PlayText(SoundOutput& output, const Clock& clock) {
    FixedControls controls;
    MorseSoundState state;
    BeepGenerator generator(output, controls, state, clock);
    for (const QChar character : kText) {
        if (const auto symbol = SymbolForAlphanumeric(character)) {
            generator.SoundCharacterBeep(*symbol, kUnitMs, 3 * kUnitMs);
        } else {
            output.Gap(4 * kUnitMs);  // word pause on top of the closing gap
        }
    }
}

QList<ToneEdges> NominalTones() {
    VirtualClock clock;
    RecordingSoundOutput recording(clock);
    PlayText(recording, clock);
    QList<ToneEdges> tones;
    for (const auto& event : recording.events()) {
        if (event.kind == RecordingSoundOutput::Kind::Tone) {
            tones.append({double(event.start), double(event.start + event.durationMs)});
        }
    }
    return tones;
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

double Percentile(QList<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<qsizetype>(fraction * (values.size() - 1))];
}

bool RunScenario(RealSoundOutput& sound, RealClock& clock, const QString& name, int busyLoops,
                 const QString& folder) {
    QList<QProcess*> loops;
    for (int i = 0; i < busyLoops; ++i) {
        auto* loop = new QProcess;
        loop->start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        loops.append(loop);
    }
    const QString wavPath = folder + u'/' + name + QStringLiteral(".wav");
    MonitorRecorder recorder;
    if (!recorder.start(wavPath)) {
        std::printf("%s: parecord did not start\n", qPrintable(name));
        return false;
    }
    Delay(clock, 1000);
    const int underrunsBefore = sound.underruns();
    const double cpuBefore = CpuSeconds();
    const qint64 startMs = clock.now();
    PlayText(sound, clock);
    const double soundSeconds = (clock.now() - startMs) / 1000.0;
    const double cpuSeconds = CpuSeconds() - cpuBefore;
    const int underruns = sound.underruns() - underrunsBefore;
    Delay(clock, 500);
    recorder.stop();
    for (QProcess* loop : loops) {
        loop->kill();
        loop->waitForFinished(2000);
        delete loop;
    }

    const Recording recording = ReadWav(wavPath);
    const QList<ToneEdges> tones = FindTones(recording, kFrequencyHz);
    const QList<ToneEdges> nominal = NominalTones();
    QList<double> errors;
    for (double error : EdgeErrors(tones, nominal)) {
        errors.append(std::abs(error));
    }
    std::printf("%-6s %5.1f s of sound, sound %s, sink underruns %d, tones %lld of %lld",
                qPrintable(name), soundSeconds, sound.isSoundOn() ? "on" : "OFF", underruns,
                static_cast<long long>(tones.size()), static_cast<long long>(nominal.size()));
    if (errors.isEmpty()) {
        std::printf("  -> DROPOUT or missing tones\n");
        return false;
    }
    std::printf("  edge error median %.4f ms, max %.4f ms, frequency %.2f Hz, CPU %.2f %%\n",
                Percentile(errors, 0.5), Percentile(errors, 1.0),
                MeasureFrequency(recording, tones.first()), 100 * cpuSeconds / soundSeconds);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    RealClock clock;
    RealSoundOutput sound(clock);
    if (!WaitUntil(
            clock, [&sound] { return sound.isSoundOn(); }, 10000)) {
        std::printf("no sound server answered\n");
        return 1;
    }
    QTemporaryDir folder;
    folder.setAutoRemove(qEnvironmentVariableIsEmpty("QUILL_BENCH_KEEP"));
    std::printf("recordings in %s\n", qPrintable(folder.path()));
    bool ok = RunScenario(sound, clock, QStringLiteral("idle"), 0, folder.path());
    ok = RunScenario(sound, clock, QStringLiteral("loaded"), 2, folder.path()) && ok;
    return ok ? 0 : 1;
}
