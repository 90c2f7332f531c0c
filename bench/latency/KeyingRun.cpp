#include "KeyingRun.h"

#include <QApplication>
#include <cmath>
#include <numbers>

#include "DesktopClient.h"
#include "KeyPad.h"
#include "LessonSigns.h"
#include "MachineLoad.h"
#include "NominalTimeline.h"
#include "Spread.h"
#include "core/sound/PlannedStream.h"

namespace {

// The planned tone is the lessons' own; the keyed one an octave above it. Averaged over one period
// of the planned tone (two of the keyed one), each tone's envelope leaves the other out.
constexpr int kKeyedHz = 1600;
constexpr int kPlannedHz = WindowRig::kToneHz;
constexpr int kWindowSamples = MonitorTap::kRate / kPlannedHz;
constexpr int kUnitMs = 120;  // 45 per minute
// Edges of the two tones closer than this disturb each other's envelope.
constexpr double kApartMs = 5;
constexpr int kFocusWaitMs = 5000;

struct OutputTone {
    double startMs;  // monotonic
    double endMs;
};

QList<OutputTone> OnTheClock(const QList<ToneEdges>& tones, const MonitorTap& tap,
                             qint64 firstSample) {
    QList<OutputTone> out;
    const auto at = [&](double ms) {
        return tap.playedAtMs(static_cast<double>(firstSample) + ms * MonitorTap::kRate / 1000.0);
    };
    for (const ToneEdges& tone : tones) {
        out << OutputTone{at(tone.startMs), at(tone.endMs)};
    }
    return out;
}

bool NearAny(double ms, const QList<double>& edges) {
    return std::any_of(edges.begin(), edges.end(),
                       [ms](double edge) { return std::abs(edge - ms) < kApartMs; });
}

template <typename Tone>
QList<double> EdgesOf(const QList<Tone>& tones) {
    QList<double> edges;
    for (const Tone& tone : tones) {
        edges << tone.startMs << tone.endMs;
    }
    return edges;
}

// Pairs each press with the keyed tones that began while it was held (or a little after). A
// tone in pieces whose break falls on a planned edge is not counted as a hole: the envelopes
// cannot be told apart there.
void PairPresses(KeyingResult& result, const QList<double>& downs, const QList<double>& ups,
                 const QList<OutputTone>& tones, const QList<double>& plannedEdges) {
    result.presses = static_cast<int>(std::min(downs.size(), ups.size()));
    for (qsizetype i = 0; i < result.presses; ++i) {
        const double nextDown = i + 1 < downs.size() ? downs[i + 1] : ups[i] + 1e9;
        QList<OutputTone> own;
        for (const OutputTone& tone : tones) {
            if (tone.startMs >= downs[i] - 1 && tone.startMs < std::min(nextDown, ups[i] + 50)) {
                own << tone;
            }
        }
        if (own.isEmpty()) {
            ++result.unmatched;
            continue;
        }
        bool hole = false;
        for (qsizetype k = 0; k + 1 < own.size(); ++k) {
            const bool hidden =
                NearAny(own[k].endMs, plannedEdges) || NearAny(own[k + 1].startMs, plannedEdges);
            hole = hole || !hidden;
            result.unresolved += hidden ? 1 : 0;
        }
        result.splitTones += hole ? 1 : 0;
        if (hole && qEnvironmentVariableIsSet("QUILL_BENCH_DEBUG")) {
            for (const OutputTone& tone : own) {
                std::printf(
                    "  split press %lld: piece %.2f .. %.2f ms after the press (held %.2f)\n",
                    static_cast<long long>(i), tone.startMs - downs[i], tone.endMs - downs[i],
                    ups[i] - downs[i]);
            }
        }
        result.downLatencyMs << own.first().startMs - downs[i];
        result.upLatencyMs << own.last().endMs - ups[i];
        const double lengthError = (own.last().endMs - own.first().startMs) - (ups[i] - downs[i]);
        const bool afterPause = i == 0 || downs[i] - ups[i - 1] >= KeyingResult::kLongKeyUpMs;
        (afterPause ? result.lengthErrorAfterPauseMs : result.lengthErrorMs) << lengthError;
    }
}

// The largest step between consecutive samples inside the keyed tones (and 5 ms either side),
// against the largest step of a sine at the tones' full level; and each tone's rise time.
void CheckEdges(KeyingResult& result, const Recording& recording, const QList<ToneEdges>& tones) {
    const QVector<double> envelope = ToneEnvelope(recording, kKeyedHz);
    const double level =
        envelope.isEmpty() ? 0 : *std::max_element(envelope.begin(), envelope.end());
    if (level <= 0) {
        return;
    }
    const double sineStep = level * 2 * std::numbers::pi * kKeyedHz / recording.sampleRate;
    const double perMs = recording.sampleRate / 1000.0;
    const auto n = recording.samples.size();
    for (const ToneEdges& tone : tones) {
        const auto from =
            std::max<qsizetype>(1, static_cast<qsizetype>((tone.startMs - 5) * perMs));
        const auto to = std::min<qsizetype>(n, static_cast<qsizetype>((tone.endMs + 5) * perMs));
        for (qsizetype i = from; i < to; ++i) {
            const double step = std::abs(double(recording.samples[i]) - recording.samples[i - 1]);
            result.largestStepRatio = std::max(result.largestStepRatio, step / sineStep);
        }
        qsizetype i = from;
        while (i < to && envelope[i] < 0.1 * level) {
            ++i;
        }
        const qsizetype tenth = i;
        while (i < to && envelope[i] < 0.9 * level) {
            ++i;
        }
        result.riseMs << double(i - tenth) / perMs;
    }
}

// The planned edges against the nominal ones, aligned on their median difference, those near a
// keyed edge left out.
void CheckPlanned(KeyingResult& result, const NominalTimeline& nominal,
                  const QList<ToneEdges>& recorded, const QList<double>& keyedEdges) {
    const ToneComparison& tones = *result.planned;
    QList<double> differences;
    for (qsizetype i = 0; i < nominal.tones.size(); ++i) {
        const qsizetype j = tones.pairOf.value(i, -1);
        if (j < 0) {
            continue;
        }
        const std::pair<double, double> edges[] = {{recorded[j].startMs, nominal.tones[i].startMs},
                                                   {recorded[j].endMs, nominal.tones[i].endMs}};
        for (const auto& [at, planned] : edges) {
            if (qEnvironmentVariableIsSet("QUILL_BENCH_DEBUG")) {
                std::printf("  planned edge at %.3f: difference %.4f%s\n", at, at - planned,
                            NearAny(at, keyedEdges) ? " (near a keyed edge)" : "");
            }
            if (NearAny(at, keyedEdges)) {
                ++result.plannedEdgesLeftOut;
            } else {
                differences << at - planned;
            }
        }
    }
    const double offset = QuantileOf(differences, 0.5);
    for (const double difference : differences) {
        result.plannedEdgeErrors << difference - offset;
    }
}

// Plans "PARIS " at 45 per minute on the program's sound, a word at a time, a second ahead,
// until done() holds; returns the signs it planned.
QList<LessonSign> PlayPlannedBeside(SoundOutput& sound, const std::function<bool()>& done) {
    const QList<LessonSign> word = NormalLessonSigns(QStringLiteral("PARIS ")).mid(5, 6);
    QList<LessonSign> planned;
    while (!done()) {
        for (const LessonSign& sign : word) {
            if (sign.isWordPause()) {
                sound.planGap(4 * kUnitMs);
            }
            for (qsizetype i = 0; i < sign.pattern.size(); ++i) {
                sound.planTone(kPlannedHz, (sign.pattern[i] == u'-' ? 3 : 1) * kUnitMs);
                sound.planGap((i + 1 < sign.pattern.size() ? 1 : 3) * kUnitMs);
            }
            planned << sign;
        }
        sound.waitForLead(1000, [] { return false; });
    }
    sound.waitUntilHeard(sound.plannedEnd(), [] { return false; });
    return planned;
}

}  // namespace

KeyingResult RunKeying(WindowRig& rig, MonitorTap& tap, int presses, bool beside,
                       Condition condition, int seed, bool throughPad) {
    KeyingResult result;
    result.condition = ConditionName(condition);
    result.beside = beside;
    result.throughPad = throughPad;
    std::optional<KeyPad> padStore;
    if (throughPad) {
        padStore.emplace(rig.sound(), kKeyedHz, rig.clock());
    } else {
        padStore.emplace(rig.sound(), kKeyedHz);
    }
    KeyPad& pad = *padStore;
    pad.show();
    pad.activateWindow();
    pad.setFocus();
    if (!WaitUntil(
            rig.clock(), [&pad] { return pad.hasFocus() && pad.isActiveWindow(); }, kFocusWaitMs)) {
        result.error = QStringLiteral("the key pad did not get the keyboard focus");
        return result;
    }
    rig.sound().openKeying();
    Delay(rig.clock(), 500);
    DesktopLoad load(condition);
    DesktopClient keys;
    if (!load.ok() ||
        !keys.start({QStringLiteral("keys"), QString::number(presses), QString::number(seed)},
                    result.error)) {
        result.error = load.ok() ? result.error : load.error();
        return result;
    }
    const qint64 firstSample = tap.sampleAtMs(MonotonicMs() - 100);
    const int underrunsBefore = rig.sound().underruns();
    MachineLoad machine;
    machine.start();
    QList<LessonSign> planned;
    const auto keyingDone = [&keys] { return !keys.running(); };
    if (beside) {
        planned = PlayPlannedBeside(rig.sound(), keyingDone);
    } else {
        WaitUntil(rig.clock(), keyingDone);
    }
    result.machineBusy = machine.busyShare();
    keys.finish(1000);
    load.finish();
    result.plannedUnderruns = rig.sound().underruns() - underrunsBefore;
    Delay(rig.clock(), 300);
    rig.sound().closeKeying();
    const qint64 lastSample = tap.sampleAtMs(MonotonicMs() - 50);
    WaitUntil(
        rig.clock(), [&] { return tap.recorded() >= lastSample; }, 2000);
    const Recording recording = tap.samples(firstSample, lastSample);
    tap.forgetBefore(lastSample);

    const QList<ToneEdges> keyedTones = FindTones(recording, kKeyedHz, kWindowSamples);
    const QList<OutputTone> keyed = OnTheClock(keyedTones, tap, firstSample);
    if (!beside) {
        PairPresses(result, pad.downsMs(), pad.upsMs(), keyed, {});
        CheckEdges(result, recording, keyedTones);
        return result;
    }
    // The planned edges in ms of the recording itself: mapped to the clock they would pick up the
    // recorder's own uncertainty.
    const QList<ToneEdges> plannedTones = FindTones(recording, kPlannedHz, kWindowSamples);
    const NominalTimeline nominal = BeepTimeline(planned, kUnitMs, 1.0f);
    result.planned = CompareTones(plannedTones, nominal.tones, kUnitMs);
    const QList<OutputTone> plannedOut = OnTheClock(result.planned->joined, tap, firstSample);
    PairPresses(result, pad.downsMs(), pad.upsMs(), keyed, EdgesOf(plannedOut));
    CheckPlanned(result, nominal, result.planned->joined, EdgesOf(keyedTones));
    return result;
}

void PrintKeying(const KeyingResult& result) {
    std::printf("\n### keyed tone%s, %s%s\n\n",
                result.throughPad ? " through the keying pad and its keyer" : "",
                qPrintable(result.condition),
                result.beside ? ", a planned sequence playing beside it" : ", alone");
    if (!result.error.isEmpty()) {
        std::printf("could not be measured: %s\n", qPrintable(result.error));
        return;
    }
    std::printf(
        "- presses %d, without a tone of their own %d, tones in pieces %d (breaks on a "
        "planned edge, not counted: %d)\n",
        result.presses, result.unmatched, result.splitTones, result.unresolved);
    std::printf("- key press handled -> tone's half-amplitude start at the output: %s\n",
                qPrintable(Described(SpreadOf(result.downLatencyMs))));
    std::printf("- key release handled -> tone's half-amplitude end at the output: %s\n",
                qPrintable(Described(SpreadOf(result.upLatencyMs))));
    std::printf("- tone length - key-down length, after %.0f ms or more of key-up: %s\n",
                KeyingResult::kLongKeyUpMs,
                qPrintable(Described(SpreadOf(result.lengthErrorAfterPauseMs))));
    std::printf("- tone length - key-down length, the other presses: %s\n",
                qPrintable(Described(SpreadOf(result.lengthErrorMs))));
    if (!result.riseMs.isEmpty()) {
        std::printf(
            "- largest step between samples in the keyed tones: %.3f of a full-level "
            "sine's own; rise 10 %% -> 90 %%: %s\n",
            result.largestStepRatio, qPrintable(Described(SpreadOf(result.riseMs))));
    }
    if (result.planned) {
        const ToneComparison& tones = *result.planned;
        std::printf(
            "- the planned sequence beside it: tones %lld/%lld (found %lld), holes %d, "
            "underruns %d; edge error median %.3f ms, max %.3f ms over %lld edges (%d "
            "left out, within %.0f ms of a keyed edge)\n",
            static_cast<long long>(tones.matched), static_cast<long long>(tones.expected),
            static_cast<long long>(tones.found), tones.holes, result.plannedUnderruns,
            MedianMagnitude(result.plannedEdgeErrors), MaxMagnitude(result.plannedEdgeErrors),
            static_cast<long long>(result.plannedEdgeErrors.size()), result.plannedEdgesLeftOut,
            kApartMs);
    }
    std::printf("- machine busy %.0f %%, %s\n", 100 * result.machineBusy,
                qPrintable(MachineLoad::loadLine()));
    std::fflush(stdout);
}
