// Plays whole Normal lessons (the call-up, the question, the end mark) as the user plays them:
// through the real main window's start button, its lesson controller and question player, into
// the real sound output and a private null sink, on a desktop with the accessibility bus up.
// The sink's output is recorded in this process and every tone's half-amplitude edges are
// compared with the nominal timeline; the labels' changes with the characters' first edges; the
// program's CPU is counted by thread. Beep and WAV mode, 25, 45 and 60 per minute, fine
// adjustment -20, 0 and +20, under each condition: nothing beside it, a client reading the
// window's whole accessible tree without a break, two busy loops, the window thread blocked for
// 500 ms once a second, all of these at once (and, asked for, a screen reader's event client).
// Asked for, speeds of their own too: each edge against the exact timeline worked out here from
// the formula (unit 1200 / c ms; stretched, the ARRL spacing), with the largest element and gap
// errors in samples, the length of PARIS against 60000 / s ms, and at 25/4 the published gaps.
// Run it through scripts/bench-lesson-timing.sh, which provides the desktop and the server.
//
//   bench_lesson_timing [--conditions idle,reader,busy,stall,all] [--runs N] [--other-runs M]
//                       [--speeds 25,45,60] [--free LIST] [--free-runs K] [--question TEXT]
//                       [--band PRESET|all[,seed=N]] [--quick]
//
// --runs: lessons at 45 per minute and 0 in each mode (20); --other-runs: lessons at each other
// speed and fine adjustment (1; 0 leaves them out); --free: speeds of their own, each "c", "c/s"
// or either with "+w" (c and s words a minute, w extra units between words), e.g.
// 5,13,20,30,45,60,25/4,18/10,20/5; --free-runs: lessons at each of them in each mode (1);
// --band: every lesson under band conditions, a preset's name or number or "all" (every effect
// but the fist, which would move the edges it is measured by); --quick: idle, 45 per minute, one
// each.
#include <QApplication>
#include <QDateTime>
#include <cstdio>

#include "FreeTimeline.h"
#include "LessonRuns.h"
#include "MachineLoad.h"
#include "core/link/BandRequest.h"
#include "core/sound/PlannedStream.h"

namespace {

struct Options {
    QList<Condition> conditions{Condition::Idle, Condition::Reader, Condition::Busy,
                                Condition::Stall, Condition::All};
    int runs = 20;
    int otherRuns = 1;
    QList<int> speeds{25, 45, 60};
    QList<FreeLessonSpeed> free;
    int freeRuns = 1;
    QString question = QStringLiteral("PARIS 5NN");
    std::optional<BandConditions> band;
    QString bandName;
};

// Every effect at once but the fist.
BandConditions AllEffects(quint64 seed) {
    BandConditions c;
    c.seed = seed;
    c.noiseOn = c.fadingOn = c.crashesOn = c.chirpOn = true;
    c.snrDb = 15;
    c.fadingHz = 0.5;
    c.stationCount = 2;
    return c;
}

constexpr SoundGenerator kModes[] = {SoundGenerator::Beep, SoundGenerator::Wave};

LessonSettings Settings(SoundGenerator mode, int speed, int adjust) {
    LessonSettings settings;
    settings.generator = mode;
    settings.speed = speed;
    settings.fineAdjust = adjust;
    return settings;
}

[[noreturn]] void Usage() {
    std::printf(
        "usage: bench_lesson_timing [--conditions idle,reader,busy,stall,all,screenreader] "
        "[--runs N] [--other-runs M] [--speeds 25,45,60] [--free c[/s][+w],...] [--free-runs K] "
        "[--question TEXT] [--band PRESET|all[,seed=N]] [--quick]\n");
    std::exit(2);
}

Options ParseOptions(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString value = arguments.value(i + 1);
        if (argument == u"--quick") {
            options.conditions = {Condition::Idle};
            options.runs = 1;
            options.otherRuns = 0;
            continue;
        }
        if (value.isEmpty()) {
            Usage();
        }
        ++i;
        if (argument == u"--conditions") {
            options.conditions.clear();
            for (const QString& name : value.split(u',')) {
                Condition condition{};
                if (!ParseCondition(name, condition)) {
                    Usage();
                }
                options.conditions << condition;
            }
        } else if (argument == u"--runs") {
            options.runs = value.toInt();
        } else if (argument == u"--other-runs") {
            options.otherRuns = value.toInt();
        } else if (argument == u"--speeds") {
            options.speeds.clear();
            for (const QString& speed : value.split(u',')) {
                options.speeds << speed.toInt();
            }
        } else if (argument == u"--free") {
            options.free.clear();
            for (const QString& text : value.split(u',')) {
                const std::optional<FreeLessonSpeed> speed = ParseFreeLessonSpeed(text);
                if (!speed) {
                    Usage();
                }
                options.free << *speed;
            }
        } else if (argument == u"--free-runs") {
            options.freeRuns = value.toInt();
        } else if (argument == u"--band") {
            const QString preset = value.section(u',', 0, 0);
            // "all" reads as the preset without effects, for its seed.
            options.band = ParseBandChoice(
                preset == u"all" ? QString(value).replace(0, 3, QStringLiteral("0")) : value, 1);
            if (!options.band) {
                Usage();
            }
            if (preset == u"all") {
                options.band = AllEffects(options.band->seed);
            }
            options.bandName = value;
        } else if (argument == u"--question") {
            options.question = value;
        } else {
            Usage();
        }
    }
    return options;
}

// The settings a condition plays, in order: the repeated ones first, interleaved by mode, so a
// disturbance from outside falls on both alike.
QList<LessonSettings> Plan(const Options& options) {
    QList<LessonSettings> plan;
    for (int run = 0; run < options.runs; ++run) {
        for (SoundGenerator mode : kModes) {
            plan << Settings(mode, 45, 0);
        }
    }
    for (int run = 0; run < options.otherRuns; ++run) {
        for (SoundGenerator mode : kModes) {
            for (int speed : options.speeds) {
                for (int adjust : {-20, 0, 20}) {
                    if (speed != 45 || adjust != 0) {
                        plan << Settings(mode, speed, adjust);
                    }
                }
            }
        }
    }
    return plan;
}

// The speeds of their own, in the same order: each in both modes, run after run. In WAV mode
// the ramps are the fixed speeds' 20 ms wherever a dot holds both.
QList<LessonSettings> FreePlan(const Options& options) {
    QList<LessonSettings> plan;
    for (int run = 0; run < options.freeRuns; ++run) {
        for (const FreeLessonSpeed& speed : options.free) {
            for (SoundGenerator mode : kModes) {
                LessonSettings settings = Settings(mode, 45, 0);
                settings.free =
                    FreeSpeed{speed.characterWpm, speed.effectiveWpm, speed.extraWordUnits};
                settings.waveQuality = FreeWaveQuality(FormulaGaps(speed).unitMs);
                plan << settings;
            }
        }
    }
    return plan;
}

int PlayFree(LessonBench& bench, const Options& options, Condition condition) {
    std::printf(
        "\n### Speeds of their own, %s\n\nEdges against the exact timeline from the formula; "
        "the largest errors in samples at %d Hz (the program plans whole samples at 44100 Hz, "
        "so up to about 0.55 for an edge and 1.1 for a length); PARIS err: from the first edge "
        "of PARIS to that of the word after it, against 60000 / s ms; char / word gap: their "
        "mean as sounded, the tones' shape taken off.\n\n",
        qPrintable(ConditionName(condition)), MonitorTap::kRate);
    PrintFreeTableHeader();
    QList<TimingRow> rows;
    int missed = 0;
    for (const LessonSettings& settings : FreePlan(options)) {
        rows << RunLesson(bench, settings, condition);
        PrintFreeRow(rows.last());
        missed += MissedTargets(rows.last()).isEmpty() ? 0 : 1;
    }
    PrintSummary(ConditionName(condition) + QStringLiteral(", speeds of their own"), rows);
    return missed;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const Options options = ParseOptions(QCoreApplication::arguments());
    const double startedMs = MonotonicMs();
    MonitorTap tap;
    if (!tap.start()) {
        std::printf("the recorder could not reach the sound server's null sink\n");
        return 1;
    }
    WindowRig rig;
    QString error;
    if (!rig.start(error)) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    std::printf("question: \"%s\" after the call-up H R H R BT, then the end mark (AR)\n",
                qPrintable(options.question));
    std::printf("program: %s platform, sound thread %s; %s at the start\n",
                qPrintable(QGuiApplication::platformName()),
                qPrintable(rig.sound().realtimeState()), qPrintable(MachineLoad::loadLine()));
    std::printf("started %s\n\n", qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)));
    LessonBench bench{rig, tap, options.question, options.band, options.bandName};
    if (options.band) {
        // The window's own choice (none) would be applied again at every lesson's start.
        rig.sound().setBandRefresh({});
        rig.sound().setBandConditions(ToBandSettings(*options.band, WindowRig::kToneHz));
        std::printf("band conditions: %s (%s, seed %llu)\n", qPrintable(options.bandName),
                    qPrintable(options.band->summary()),
                    static_cast<unsigned long long>(options.band->seed));
    }
    int missed = 0;
    for (Condition condition : options.conditions) {
        std::printf("\n## %s\n\n", qPrintable(ConditionName(condition)));
        const QList<LessonSettings> plan = Plan(options);
        if (!plan.isEmpty() || options.free.isEmpty()) {
            PrintTableHeader();
            QList<TimingRow> rows;
            for (const LessonSettings& settings : plan) {
                rows << RunLesson(bench, settings, condition);
                PrintRow(rows.last());
                missed += MissedTargets(rows.last()).isEmpty() ? 0 : 1;
            }
            PrintSummary(ConditionName(condition), rows);
        }
        if (!options.free.isEmpty()) {
            missed += PlayFree(bench, options, condition);
        }
        std::printf("\n%s after %s\n", qPrintable(MachineLoad::loadLine()),
                    qPrintable(ConditionName(condition)));
    }
    std::printf("\nruns that missed a target: %d; whole run %.0f s\n", missed,
                (MonotonicMs() - startedMs) / 1000.0);
    return 0;
}
