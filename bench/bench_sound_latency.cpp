// How quickly the program's sound answers, and what it costs when it has nothing to say, with
// the main window linked to a peer on a desktop with the accessibility bus up, recorded at a
// private null sink in this process. Run it through scripts/bench-sound-latency.sh.
//
//   bench_sound_latency keying [--count 200] [--condition idle] [--pad]
//       the keyed tone: space bar pressed and released through the X server into a widget that
//       keys the program's sound; press and release handled -> the tone's edges at the output;
//       the edges' steepest step; then keyed beside a planned sequence, whose edges are checked;
//       with --pad through the sending practice's keying pad (keyer and sidetone) instead
//   bench_sound_latency stop [--count 60] [--condition idle]
//       the stop button clicked through the X server at random moments of Normal lessons;
//       click handled -> output silent
//   bench_sound_latency idle [--count 60]
//       the program's CPU over that many seconds with the link up, by thread
//   bench_sound_latency first-tone [--count 20] [--condition idle]
//       a sound planned after 6 s of silence: planned -> its first edge at the output
#include <QApplication>
#include <cstdio>

#include "IdleRun.h"
#include "KeyingRun.h"
#include "MachineLoad.h"
#include "StopRun.h"

namespace {

constexpr int kIdleSettleMs = 10000;  // the stream corks after a few seconds of silence
constexpr int kFirstToneIdleMs = 6000;

struct Options {
    QString what;
    int count = -1;
    Condition condition = Condition::Idle;
    bool throughPad = false;
};

[[noreturn]] void Usage() {
    std::printf(
        "usage: bench_sound_latency keying|stop|idle|first-tone [--count n] "
        "[--condition idle|reader|busy|stall|all|screenreader] [--pad]\n");
    std::exit(2);
}

Options Parse(const QStringList& arguments) {
    Options options;
    options.what = arguments.value(1);
    QStringList rest = arguments.mid(2);
    options.throughPad = rest.removeAll(QStringLiteral("--pad")) > 0;
    for (qsizetype i = 0; i + 1 < rest.size(); i += 2) {
        if (rest[i] == u"--count") {
            options.count = rest[i + 1].toInt();
        } else if (rest[i] != u"--condition" || !ParseCondition(rest[i + 1], options.condition)) {
            Usage();
        }
    }
    if (rest.size() % 2 != 0) {
        Usage();
    }
    return options;
}

int CountOr(const Options& options, int fallback) {
    return options.count > 0 ? options.count : fallback;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const Options options = Parse(QCoreApplication::arguments());
    const QStringList known{QStringLiteral("keying"), QStringLiteral("stop"),
                            QStringLiteral("idle"), QStringLiteral("first-tone")};
    if (!known.contains(options.what)) {
        Usage();
    }
    // Idle, nothing records: the recorder would be a client of the server like any other.
    MonitorTap tap;
    if (options.what != u"idle" && !tap.start()) {
        std::printf("the recorder could not reach the sound server's null sink\n");
        return 1;
    }
    WindowRig rig;
    QString error;
    if (!rig.start(error)) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    std::printf("program: %s platform, sound thread %s; %s\n",
                qPrintable(QGuiApplication::platformName()),
                qPrintable(rig.sound().realtimeState()), qPrintable(MachineLoad::loadLine()));
    if (options.what == u"keying") {
        const int presses = CountOr(options, 200);
        const bool pad = options.throughPad;
        PrintKeying(RunKeying(rig, tap, presses, false, options.condition, 1, pad));
        PrintKeying(RunKeying(rig, tap, presses / 2, true, options.condition, 2, pad));
    } else if (options.what == u"stop") {
        PrintStops(RunStops(rig, tap, CountOr(options, 60), options.condition, 3));
    } else if (options.what == u"idle") {
        Delay(rig.clock(), kIdleSettleMs);
        PrintIdleCpu(MeasureIdleCpu(rig, {rig.peerThreadId()}, CountOr(options, 60)));
    } else {
        PrintFirstTones(
            RunFirstTones(rig, tap, CountOr(options, 20), kFirstToneIdleMs, options.condition));
    }
    return 0;
}
