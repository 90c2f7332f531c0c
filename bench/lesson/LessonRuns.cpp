#include <algorithm>
#include <cstdio>

#include "LessonRuns.h"

#include <QLabel>
#include <vector>

#include "FreeTimeline.h"
#include "LessonSigns.h"
#include "MachineLoad.h"
#include "NominalTimeline.h"
#include "ThreadCpu.h"
#include "core/sound/PlannedStream.h"
#include "ui/kit/AccessibleValueLabel.h"

namespace {

constexpr double kWaveRampMs = 20;  // WAV quality 3
// Before the lesson: the load takes hold (the reader walking); after it: the last sound drains
// and reaches the recorder.
constexpr int kSettleMs = 1000;
constexpr int kDrainMs = 400;

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

// A label's new text on screen, and when it came.
struct LabelChange {
    bool callUp;  // Label1 (the call-up's sign), else Label4 (the played count)
    QString text;
    double atMs;
};

// Watches the call-up label and the played count as they are painted with a new text.
class LabelWatch {
  public:
    explicit LabelWatch(const MainFormUi& ui) {
        watch(ui.Label1, true);
        watch(ui.Label4, false);
    }
    ~LabelWatch() {
        for (const QMetaObject::Connection& connection : m_connections) {
            QObject::disconnect(connection);
        }
    }
    const std::vector<LabelChange>& changes() const { return m_changes; }

  private:
    void watch(QLabel* label, bool callUp) {
        if (auto* value = qobject_cast<AccessibleValueLabel*>(label)) {
            m_connections << QObject::connect(
                value, &AccessibleValueLabel::textShown, [this, callUp](const QString& text) {
                    m_changes.push_back({callUp, text, MonotonicMs()});
                });
        }
    }

    std::vector<LabelChange> m_changes;
    QList<QMetaObject::Connection> m_connections;
};

// Which sign of the lesson a label's change belongs to: the call-up's k-th name, or the n-th
// counted character of the question (spaces are not counted); -1 for none.
qsizetype SignOfChange(const LabelChange& change, int callUpSeen, const QString& question) {
    if (change.callUp) {
        return change.text.isEmpty() ? -1 : callUpSeen;
    }
    bool number = false;
    const int count = change.text.trimmed().toInt(&number);
    if (!number || count <= 0) {
        return -1;
    }
    int counted = 0;
    for (qsizetype i = 0; i < question.size(); ++i) {
        if (question[i] != u' ' && ++counted == count) {
            return 5 + i;  // after the call-up's five signs
        }
    }
    return -1;
}

// Where each sign begins to sound in the recording (ms): a beep's first edge; a WAV file's first
// sample, its silent lead before the first tone included. Nothing for a pause or a sign not
// found.
QList<std::optional<double>> SignStarts(const NominalTimeline& nominal, const TimingRow& row) {
    QList<std::optional<double>> starts;
    qsizetype file = 0;
    for (const qsizetype tone : nominal.firstToneOfSign) {
        std::optional<double> start;
        if (tone >= 0 && row.wave) {
            start = row.wave->startsMs.value(file++);
        } else if (const qsizetype recorded = tone >= 0 ? row.tones.pairOf.value(tone, -1) : -1;
                   recorded >= 0) {
            start = row.tones.joined[recorded].startMs;
        }
        starts << start;
    }
    return starts;
}

QList<double> LabelDelays(const std::vector<LabelChange>& changes,
                          const QList<std::optional<double>>& signStarts, const MonitorTap& tap,
                          qint64 firstSample, const QString& question) {
    QList<double> delays;
    int callUpSeen = 0;
    for (const LabelChange& change : changes) {
        const qsizetype sign = SignOfChange(change, callUpSeen, question);
        if (change.callUp && sign >= 0) {
            ++callUpSeen;
        }
        const std::optional<double> start = sign >= 0 ? signStarts.value(sign) : std::nullopt;
        if (!start) {
            continue;
        }
        const double startMs =
            tap.playedAtMs(static_cast<double>(firstSample) + *start * MonitorTap::kRate / 1000.0);
        delays << change.atMs - startMs;
    }
    return delays;
}

// The figures of the speed of its own the settings choose, as the benchmark reads them.
std::optional<FreeLessonSpeed> FreeSpeedOf(const LessonSettings& settings) {
    if (!settings.free) {
        return std::nullopt;
    }
    return FreeLessonSpeed{settings.free->characterWpm, settings.free->effectiveWpm,
                           settings.free->extraWordUnits};
}

// Runs of at least a millisecond of exact silence from the lesson's first tone to the last sound:
// under a band's noise the output is never silent, so each is a hole. What sounds before the
// first tone is the end of the lesson before, whose band ends with it.
int SilentRuns(const Recording& recording, double firstToneMs) {
    const QVector<qint16>& samples = recording.samples;
    const qsizetype shortest = recording.sampleRate / 1000;
    qsizetype first = std::clamp<qsizetype>(
        static_cast<qsizetype>(firstToneMs * recording.sampleRate / 1000), 0, samples.size());
    qsizetype last = samples.size();
    while (first < last && samples[first] == 0) {
        ++first;
    }
    while (last > first && samples[last - 1] == 0) {
        --last;
    }
    int runs = 0;
    qsizetype zeros = 0;
    for (qsizetype i = first; i < last; ++i) {
        zeros = samples[i] == 0 ? zeros + 1 : 0;
        if (zeros == shortest) {
            ++runs;
        }
        if (zeros >= shortest && (i + 1 == last || samples[i + 1] != 0)) {
            // Where, so that a hole can be told from a pause nothing was planned for.
            std::printf(
                "silent run at %.1f ms after the first tone, %.1f ms long\n",
                1000.0 * static_cast<double>(i + 1 - zeros) / recording.sampleRate - firstToneMs,
                1000.0 * static_cast<double>(zeros) / recording.sampleRate);
        }
    }
    return runs;
}

int SoundingSigns(const QList<LessonSign>& signs) {
    int count = 0;
    for (const LessonSign& sign : signs) {
        count += sign.isWordPause() ? 0 : 1;
    }
    return count;
}

}  // namespace

TimingRow RunLesson(LessonBench& bench, const LessonSettings& settings, Condition condition) {
    TimingRow row;
    const bool wave = settings.generator == SoundGenerator::Wave;
    row.mode = wave ? QStringLiteral("WAV") : QStringLiteral("beep");
    row.free = FreeSpeedOf(settings);
    const FreeGaps gaps = row.free ? FormulaGaps(*row.free) : FreeGaps{};
    if (!row.free) {
        row.speed = settings.speed;
        row.unitMs = UnitMsFor(settings.speed);
    }
    const double unitMs = row.free ? gaps.unitMs : row.unitMs;
    row.adjust = settings.fineAdjust;
    row.condition = ConditionName(condition);
    if (bench.band) {
        row.condition += QStringLiteral(" + ") + bench.bandName;
    }
    WindowRig& rig = bench.rig;
    MonitorTap& tap = bench.tap;
    rig.apply(settings);

    DesktopLoad load(condition);
    if (!load.ok()) {
        row.error = load.error();
        return row;
    }
    Delay(rig.clock(), kSettleMs);
    const LabelWatch labels(rig.form().ui());
    const int underrunsBefore = rig.sound().underruns();
    const QMetaObject::Connection offs =
        QObject::connect(&rig.sound(), &SoundOutput::soundOnChanged,
                         [&row](bool on) { row.soundOffs += on ? 0 : 1; });
    const qint64 firstSample = tap.sampleAtMs(MonotonicMs() - 100);
    CpuMeter cpu({tap.threadId(), rig.peerThreadId()});
    MachineLoad machine;
    // Counted while the lesson sounds: from the click to the end mark heard.
    // The stalls' time is the benchmark's: taken off the window thread's and the program's.
    CpuMeter::Result used;
    const double stalledBefore = load.stalledMs();
    const QMetaObject::Connection end =
        QObject::connect(&rig.form().questionPlayer(), &QuestionPlayer::endReached, [&] {
            used = cpu.stop();
            const double stalled = load.stalledMs() - stalledBefore;
            used.windowMs -= stalled;
            used.programMs -= stalled;
            row.machineBusy = machine.busyShare();
        });
    machine.start();
    cpu.start();
    rig.playLesson(bench.question);
    QObject::disconnect(end);
    row.loadAverage = MachineLoad::loadAverage();
    row.readerSummary = load.finish();
    QObject::disconnect(offs);
    row.underruns = rig.sound().underruns() - underrunsBefore;
    row.seconds = used.wallMs / 1000.0;
    row.programCpu = used.programShare();
    row.windowCpu = used.windowShare();

    Delay(rig.clock(), kDrainMs);
    const qint64 lastSample = tap.sampleAtMs(MonotonicMs() - 50);
    WaitUntil(
        rig.clock(), [&] { return tap.recorded() >= lastSample; }, 2000);
    const Recording recording = tap.samples(firstSample, lastSample);
    tap.forgetBefore(lastSample);
    row.clockSpreadMs = tap.originSpreadMs(firstSample);

    const QList<LessonSign> signs = NormalLessonSigns(bench.question);
    const float factor = FactorFor(settings.fineAdjust);
    std::optional<FreeTimeline> free;
    if (row.free) {
        free = FreeLessonTimeline(
            signs, gaps,
            wave ? std::optional(RampMsForQuality(settings.waveQuality)) : std::nullopt);
    }
    const NominalTimeline nominal = free   ? free->nominal
                                    : wave ? WaveTimeline(signs, row.unitMs, factor, kWaveRampMs)
                                           : BeepTimeline(signs, row.unitMs, factor);
    row.inNoise = bench.band &&
                  (bench.band->noiseOn || bench.band->crashesOn || bench.band->stationCount > 0);
    // Twenty periods: about 40 Hz either side of the tone, clear of the other stations.
    const int window = row.inNoise ? 20 * recording.sampleRate / WindowRig::kToneHz : 0;
    const QList<ToneEdges> found = FindTones(recording, WindowRig::kToneHz, window);
    row.tones = CompareTones(found, nominal.tones, unitMs);
    if (row.inNoise) {
        row.tones.holes = SilentRuns(recording, found.isEmpty() ? 0.0 : found.first().startMs);
    }
    if (free) {
        row.freeFigures =
            MeasureFree(row.tones, *free, signs, *row.free, gaps, recording.sampleRate);
    }
    if (wave) {
        row.wave = CheckWaveFiles(recording, nominal, row.tones,
                                  [&rig](const QString& sign) { return rig.wavePath(sign); });
    }
    row.labelDelays =
        LabelDelays(labels.changes(), SignStarts(nominal, row), tap, firstSample, bench.question);
    row.windowMsPerSign = used.windowMs / SoundingSigns(signs);
    return row;
}
