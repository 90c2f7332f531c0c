// Times what the WAV generator does between two characters for the longest stream:
// the digit 0 at 25 per minute with the fine adjustment at +20 (5.28 s of samples),
// synthesis, assembly and file writing, and prints the median of the runs in ms.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "core/kit/Places.h"
#include "core/morse/WaveGenerator.h"
#include "support/SilentSoundOutput.h"
#include "support/VirtualClock.h"

namespace {

constexpr int kRuns = 50;

class LongestStreamControls : public SoundControls {
  public:
    int toneHz() const override { return 800; }
    int fineAdjustValue() const override { return 20; }
    int waveQualityLevel() const override { return 1; }  // the longest ramps
    int waveVolumeLevel() const override { return 5; }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    Places places(folder.path(), folder.path());
    VirtualClock clock;
    SilentSoundOutput output(clock);
    LongestStreamControls controls;
    MorseSoundState state;
    WaveGenerator generator(output, controls, state, clock, places);

    // The first run creates the folder and the file; it is not counted.
    const qsizetype samples = generator.WriteSymbolFile(SymbolId::Num0, 220, 800).size();
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        generator.WriteSymbolFile(SymbolId::Num0, 220, 800);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("wave_bench: 0 at 25/min, +20: %lld samples (%.2f s)\n",
                static_cast<long long>(samples), double(samples) / kWaveSampleRate);
    std::printf("synthesis + file writing over %d runs: median %.3f ms (min %.3f, max %.3f)\n",
                kRuns, times[times.size() / 2], times.front(), times.back());
    return 0;
}
