#include "IdleRun.h"

#include <cmath>

#include "MachineLoad.h"
#include "Spread.h"
#include "ThreadCpu.h"
#include "ToneComparison.h"
#include "core/sound/PlannedStream.h"

namespace {

// After the idle spell: tone, gap, tone, gap, tone (ms), as a character's elements come.
constexpr int kSequence[] = {100, 100, 60, 60, 100};

}  // namespace

IdleCpuResult MeasureIdleCpu(WindowRig& rig, const QSet<qint64>& excluded, int seconds) {
    IdleCpuResult result;
    CpuMeter cpu(excluded);
    MachineLoad machine;
    machine.start();
    cpu.start();
    Delay(rig.clock(), seconds * 1000);
    const CpuMeter::Result used = cpu.stop();
    result.machineBusy = machine.busyShare();
    result.seconds = used.wallMs / 1000.0;
    result.programMs = used.programMs;
    result.byThreadName = used.byThreadName;
    return result;
}

void PrintIdleCpu(const IdleCpuResult& result) {
    std::printf("\n### idle, the link up, the sound server there\n\n");
    std::printf("- the program's CPU: %.1f ms over %.1f s = %.3f %% of one core\n",
                result.programMs, result.seconds, 100 * result.programMs / (1000 * result.seconds));
    for (auto thread = result.byThreadName.cbegin(); thread != result.byThreadName.cend();
         ++thread) {
        if (thread.value() >= 0.05) {
            std::printf("  - thread %s: %.1f ms\n", qPrintable(thread.key()), thread.value());
        }
    }
    std::printf("- machine busy %.0f %%, %s\n", 100 * result.machineBusy,
                qPrintable(MachineLoad::loadLine()));
    std::fflush(stdout);
}

FirstToneResult RunFirstTones(WindowRig& rig, MonitorTap& tap, int count, int idleMs,
                              Condition condition) {
    FirstToneResult result;
    result.condition = ConditionName(condition);
    result.idleMs = idleMs;
    RealSoundOutput& sound = rig.sound();
    DesktopLoad load(condition);
    MachineLoad machine;
    machine.start();
    for (int i = 0; i < count; ++i) {
        Delay(rig.clock(), idleMs);
        const qint64 firstSample = tap.sampleAtMs(MonotonicMs() - 50);
        const double plannedMs = MonotonicMs();
        for (std::size_t k = 0; k < std::size(kSequence); ++k) {
            if (k % 2 == 0) {
                sound.planTone(WindowRig::kToneHz, kSequence[k]);
            } else {
                sound.planGap(kSequence[k]);
            }
        }
        sound.waitUntilHeard(sound.plannedEnd(), [] { return false; });
        Delay(rig.clock(), 200);
        const qint64 lastSample = tap.sampleAtMs(MonotonicMs() - 50);
        WaitUntil(
            rig.clock(), [&] { return tap.recorded() >= lastSample; }, 2000);
        const QList<ToneEdges> tones =
            FindTones(tap.samples(firstSample, lastSample), WindowRig::kToneHz);
        tap.forgetBefore(lastSample);
        if (tones.size() != 3) {
            ++result.missing;
            continue;
        }
        result.latencyMs << tap.playedAtMs(double(firstSample) +
                                           tones[0].startMs * MonitorTap::kRate / 1000.0) -
                                plannedMs;
        const double lengths[] = {
            tones[0].endMs - tones[0].startMs, tones[1].startMs - tones[0].endMs,
            tones[1].endMs - tones[1].startMs, tones[2].startMs - tones[1].endMs,
            tones[2].endMs - tones[2].startMs};
        for (std::size_t k = 0; k < std::size(kSequence); ++k) {
            result.lengthErrorsMs << lengths[k] - kSequence[k];
        }
    }
    result.machineBusy = machine.busyShare();
    return result;
}

void PrintFirstTones(const FirstToneResult& result) {
    std::printf("\n### the first sound after %d ms of silence, %s\n\n", result.idleMs,
                qPrintable(result.condition));
    std::printf("- planned -> first half-amplitude start at the output: %s\n",
                qPrintable(Described(SpreadOf(result.latencyMs))));
    std::printf(
        "- the tones and gaps that follow (100, 100, 60, 60, 100 ms): length error median "
        "%.3f ms, max %.3f ms (%lld lengths); sequences not found whole %d\n",
        MedianMagnitude(result.lengthErrorsMs), MaxMagnitude(result.lengthErrorsMs),
        static_cast<long long>(result.lengthErrorsMs.size()), result.missing);
    std::printf("- machine busy %.0f %%, %s\n", 100 * result.machineBusy,
                qPrintable(MachineLoad::loadLine()));
    std::fflush(stdout);
}
