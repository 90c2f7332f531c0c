#include "LessonRuns.h"

#include <QDir>

#include "BusyLoops.h"
#include "CwPlayer.h"
#include "LessonPlayer.h"
#include "NominalTimeline.h"
#include "RecordedRun.h"

namespace {

constexpr int kBusyLoops = 2;
// What cw 3.6.0 does (measured here): a space gives ten units, and its tones rise and fall
// within the element, 5 ms each, so their half-amplitude points lie 2.5 ms inside.
constexpr int kCwWordGapUnits = 10;
constexpr double kCwInsetMs = 2.5;

// The rules' own figures, not the program's tables.
int UnitMsFor(int speed) {
    switch (speed) {
        case 25:
            return 220;
        case 45:
            return 120;
        default:
            return 90;
    }
}

float FactorFor(int fineAdjust) {
    switch (fineAdjust) {
        case -20:
            return 0.8f;
        case 20:
            return 1.2f;
        default:
            return 1.0f;
    }
}

QString LoadName(Load load) {
    return load == Load::Idle ? QStringLiteral("idle") : QStringLiteral("2 busy loops");
}

QString Signed(int value) {
    return value > 0 ? u'+' + QString::number(value) : QString::number(value);
}

// The recorded tones against the nominal timeline, and in WAV mode the files against the
// recording.
void AnalyseProgramRun(TimingRow& row, const Recording& recording, const LessonPlayer& player,
                       const QString& question, int speed, int fineAdjust) {
    const QList<LessonSign> signs = NormalLessonSigns(question);
    const int unit = UnitMsFor(speed);
    const float factor = FactorFor(fineAdjust);
    const bool wave = player.generator() == SoundGenerator::Wave;
    const NominalTimeline nominal = wave ? WaveTimeline(signs, unit, factor, kLessonWaveRampMs)
                                         : BeepTimeline(signs, unit, factor);
    row.tones = CompareTones(FindTones(recording, kLessonToneHz), nominal.tones, unit);
    if (wave) {
        row.wave = CheckWaveFiles(recording, nominal, row.tones,
                                  [&](const QString& sign) { return player.wavePath(sign); });
    }
}

}  // namespace

TimingRow RunProgramLesson(LessonBench& bench, SoundGenerator generator, int speed, int fineAdjust,
                           Load load) {
    const bool wave = generator == SoundGenerator::Wave;
    const int unit = UnitMsFor(speed);
    TimingRow row;
    row.source = QStringLiteral("Quillstart");
    row.mode = wave ? QStringLiteral("WAV") : QStringLiteral("beep");
    row.speed = QStringLiteral("%1/min").arg(speed);
    row.unitMs = QString::number(unit);
    row.adjust = Signed(fineAdjust);
    row.load = LoadName(load);
    const QString name =
        QStringLiteral("%1-%2-%3-%4")
            .arg(row.mode, QString::number(speed), row.adjust,
                 load == Load::Idle ? QStringLiteral("idle") : QStringLiteral("loaded"));
    const QString runFolder = QDir(bench.folder).filePath(name);
    QDir().mkpath(runFolder);
    LessonPlayer player(bench.sound, bench.clock, runFolder);
    player.controls().generator = generator;
    player.controls().speed = speed;
    player.controls().fineAdjust = fineAdjust;

    const int underrunsBefore = bench.sound.underruns();
    const QMetaObject::Connection offs =
        QObject::connect(&bench.sound, &SoundOutput::soundOnChanged,
                         [&row](bool on) { row.soundOffs += on ? 0 : 1; });
    RecordedRun run;
    {
        BusyLoops loops(load == Load::Idle ? 0 : kBusyLoops);
        run = RecordWhile(bench.clock, runFolder + QStringLiteral("/monitor.wav"), [&] {
            player.play(bench.question);
            return true;
        });
    }
    QObject::disconnect(offs);
    row.underruns = bench.sound.underruns() - underrunsBefore;
    row.seconds = run.playSeconds;
    row.machineBusy = run.machineBusy;
    if (!run.ok) {
        row.error = run.error;
        return row;
    }
    AnalyseProgramRun(row, run.recording, player, bench.question, speed, fineAdjust);
    return row;
}

QList<TimingRow> RunCwLesson(LessonBench& bench, int unitMs, Load load) {
    const int wpm = CwPlayer::WpmForUnit(unitMs);
    const double unit = CwPlayer::UnitForWpm(wpm);
    TimingRow row;
    row.source = CwPlayer::Version().remove(QStringLiteral("version "));
    row.mode = QStringLiteral("cw, PARIS");
    row.speed = QStringLiteral("%1 wpm").arg(wpm);
    row.unitMs = QString::number(unit, 'f', 2);
    row.adjust = QStringLiteral("–");
    row.load = LoadName(load);
    const QList<LessonSign> signs = CwLessonSigns(bench.question);
    const QString wavPath = QDir(bench.folder)
                                .filePath(QStringLiteral("cw-%1-%2.wav")
                                              .arg(wpm)
                                              .arg(load == Load::Idle ? QStringLiteral("idle")
                                                                      : QStringLiteral("loaded")));
    QString error;
    RecordedRun run;
    {
        BusyLoops loops(load == Load::Idle ? 0 : kBusyLoops);
        run = RecordWhile(bench.clock, wavPath,
                          [&] { return CwPlayer::Play(CwText(signs), wpm, kLessonToneHz, error); });
    }
    row.seconds = run.playSeconds;
    row.machineBusy = run.machineBusy;
    if (!run.ok) {
        row.error = error.isEmpty() ? run.error : error;
        return {row};
    }
    const QList<ToneEdges> recorded = FindTones(run.recording, kLessonToneHz);
    row.tones = CompareTones(recorded, ParisTimeline(signs, unit).tones, unit);
    TimingRow own = row;
    own.mode = QStringLiteral("cw, own rule");
    own.tones =
        CompareTones(recorded, ParisTimeline(signs, unit, kCwWordGapUnits, kCwInsetMs).tones, unit);
    return {row, own};
}
