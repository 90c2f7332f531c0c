// Plays a whole Normal lesson (the call-up, a question, the end mark) through the program's
// real sound output into a null sink, records the monitor and prints how far every tone's
// half-amplitude edges lie from the nominal timeline: beep and WAV mode, three speeds, three
// fine adjustments, idle and beside two busy CPU loops; then the same text through Debian's
// cw for comparison. Run it through scripts/bench-lesson-timing.sh, which provides the server.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "lesson/LessonRuns.h"
#include "lesson/LessonSigns.h"

namespace {

const QString kQuestion = QStringLiteral("PARIS PARIS 5NN 73");

struct Options {
    bool fullLoad = true;  // else only 25 and 60 per minute at 0 under load
    bool cw = true;
    bool quick = false;  // a first look: idle, 60 per minute at 0 only
};

Options ParseOptions(const QStringList& arguments) {
    Options options;
    for (const QString& argument : arguments.mid(1)) {
        if (argument == u"--load-subset") {
            options.fullLoad = false;
        } else if (argument == u"--no-cw") {
            options.cw = false;
        } else if (argument == u"--quick") {
            options.quick = true;
        } else {
            std::printf("usage: bench_lesson_timing [--load-subset] [--no-cw] [--quick]\n");
            std::exit(2);
        }
    }
    return options;
}

bool Wanted(const Options& options, Load load, int speed, int fineAdjust) {
    if (options.quick) {
        return load == Load::Idle && speed == 60 && fineAdjust == 0;
    }
    return load == Load::Idle || options.fullLoad || (fineAdjust == 0 && speed != 45);
}

int RunCondition(LessonBench& bench, const Options& options, Load load) {
    int missed = 0;
    const auto count = [&missed](const TimingRow& row) {
        PrintRow(row);
        missed += MissedTargets(row).isEmpty() ? 0 : 1;
    };
    for (SoundGenerator generator : {SoundGenerator::Beep, SoundGenerator::Wave}) {
        for (int speed : {25, 45, 60}) {
            for (int fineAdjust : {-20, 0, 20}) {
                if (Wanted(options, load, speed, fineAdjust)) {
                    count(RunProgramLesson(bench, generator, speed, fineAdjust, load));
                }
            }
        }
    }
    if (options.cw) {
        for (int unit : {220, 120, 90}) {
            if (Wanted(options, load, unit == 90 ? 60 : 25, 0)) {
                for (const TimingRow& row : RunCwLesson(bench, unit, load)) {
                    PrintRow(row);  // the reference: not counted
                }
            }
        }
    }
    return missed;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const Options options = ParseOptions(app.arguments());
    QElapsedTimer elapsed;
    elapsed.start();
    RealClock clock;
    RealSoundOutput sound(clock);
    if (!WaitUntil(
            clock, [&sound] { return sound.isSoundOn(); }, 10000)) {
        std::printf("no sound server answered\n");
        return 1;
    }
    QTemporaryDir folder;
    folder.setAutoRemove(qEnvironmentVariableIsEmpty("QUILL_BENCH_KEEP"));
    std::printf("lesson: H R H R BT, then \"%s\" and the end mark (AR), then a %d ms marker tone\n",
                qPrintable(kQuestion), kMarkerMs);
    std::printf("cw text: %s\n", qPrintable(CwText(CwLessonSigns(kQuestion))));
    std::printf("recordings in %s%s\n\n", qPrintable(folder.path()),
                folder.autoRemove() ? " (removed at the end; QUILL_BENCH_KEEP=1 keeps them)" : "");
    LessonBench bench{clock, sound, kQuestion, folder.path()};
    PrintTableHeader();
    int missed = RunCondition(bench, options, Load::Idle);
    missed += RunCondition(bench, options, Load::Busy);
    PrintNotes();
    std::printf("\nprogram runs that missed a target: %d; whole run %.0f s\n", missed,
                elapsed.elapsed() / 1000.0);
    return 0;
}
