#include "StopRun.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <cmath>
#include <numbers>
#include <random>

#include "DesktopClient.h"
#include "MachineLoad.h"
#include "Spread.h"
#include "core/sound/PlannedStream.h"

namespace {

constexpr double kSilentLevel = 0.01;
// Clicks fall anywhere from the call-up's first tone to the question's last characters.
constexpr int kEarliestMs = 300;
constexpr int kLatestMs = 15000;

// Notes when the button's click is handled: its release, which makes the click.
class ClickWatch : public QObject {
  public:
    explicit ClickWatch(QWidget* button) { button->installEventFilter(this); }
    double lastMs = -1;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            lastMs = MonotonicMs();
        }
        return false;
    }
};

// Closes the choice a stopped Normal lesson offers, as the user would once the sound is gone.
void CloseAbortChoiceWhenShown(RealClock& clock, bool& closed) {
    clock.scheduleAt(clock.now() + 50, [&clock, &closed] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == u"AbortQuestionForm" && window->isVisible()) {
                window->close();
                closed = true;
                return;
            }
        }
        CloseAbortChoiceWhenShown(clock, closed);
    });
}

// Measures one stop in the recording: the output's envelope from the click on.
void MeasureStop(StopResult& result, const Recording& recording, double clickSample) {
    const QVector<double> envelope = ToneEnvelope(recording, WindowRig::kToneHz);
    if (envelope.isEmpty()) {
        return;
    }
    const double level = *std::max_element(envelope.begin(), envelope.end());
    const auto click = static_cast<qsizetype>(clickSample);
    if (click <= 0 || click >= envelope.size()) {
        return;
    }
    qsizetype lastHalf = -1;
    qsizetype lastAudible = -1;
    for (qsizetype i = click; i < envelope.size(); ++i) {
        if (envelope[i] >= 0.5 * level) {
            lastHalf = i;
        }
        if (envelope[i] >= kSilentLevel * level) {
            lastAudible = i;
        }
    }
    const double perMs = recording.sampleRate / 1000.0;
    const bool sounding = envelope[click] >= 0.5 * level;
    if (!sounding) {
        ++result.inGap;
        result.soundedAfter += lastHalf >= 0 ? 1 : 0;
    }
    if (sounding || lastHalf >= 0) {
        result.toHalfMs << double(lastHalf + 1 - click) / perMs;
    }
    result.toSilenceMs << std::max(0.0, double(lastAudible + 1 - click) / perMs);
    // The fade's steepest step, from the click to silence.
    const double sineStep =
        level * 2 * std::numbers::pi * WindowRig::kToneHz / recording.sampleRate;
    for (qsizetype i = std::max<qsizetype>(1, click); i <= lastAudible + 1 && i < envelope.size();
         ++i) {
        const double step = std::abs(double(recording.samples[i]) - recording.samples[i - 1]);
        result.largestStepRatio = std::max(result.largestStepRatio, step / sineStep);
    }
}

}  // namespace

StopResult RunStops(WindowRig& rig, MonitorTap& tap, int stops, Condition condition, int seed) {
    StopResult result;
    result.condition = ConditionName(condition);
    DesktopClient mouse;
    if (!mouse.start({QStringLiteral("input")}, result.error)) {
        return result;
    }
    QPushButton* stop = rig.form().ui().StopButton_Command;
    ClickWatch watch(stop);
    std::mt19937 random(static_cast<unsigned>(seed));
    std::uniform_int_distribution<int> moment(kEarliestMs, kLatestMs);
    rig.apply(LessonSettings{});  // beep, 45 per minute, fine adjustment 0
    DesktopLoad load(condition);
    if (!load.ok()) {
        result.error = load.error();
        return result;
    }
    MachineLoad machine;
    machine.start();
    for (int i = 0; i < stops; ++i) {
        Delay(rig.clock(), 500);
        const qint64 firstSample = tap.sampleAtMs(MonotonicMs() - 100);
        watch.lastMs = -1;
        bool closed = false;
        const int atMs = moment(random);
        rig.clock().scheduleAt(rig.clock().now() + atMs, [&] {
            const QPoint at = stop->mapToGlobal(stop->rect().center());
            mouse.send(QStringLiteral("click %1 %2").arg(at.x()).arg(at.y()));
            CloseAbortChoiceWhenShown(rig.clock(), closed);
        });
        rig.playLesson(QStringLiteral("PARIS 5NN"));
        ++result.stops;
        if (watch.lastMs < 0) {
            ++result.missed;  // the lesson ended first, or the click went elsewhere
            continue;
        }
        Delay(rig.clock(), 300);
        const qint64 lastSample = tap.sampleAtMs(MonotonicMs() - 50);
        WaitUntil(
            rig.clock(), [&] { return tap.recorded() >= lastSample; }, 2000);
        const Recording recording = tap.samples(firstSample, lastSample);
        tap.forgetBefore(lastSample);
        const double clickSample = double(tap.sampleAtMs(watch.lastMs) - firstSample);
        MeasureStop(result, recording, clickSample);
    }
    result.machineBusy = machine.busyShare();
    return result;
}

void PrintStops(const StopResult& result) {
    std::printf("\n### stop button, %s\n\n", qPrintable(result.condition));
    if (!result.error.isEmpty()) {
        std::printf("could not be measured: %s\n", qPrintable(result.error));
        return;
    }
    std::printf(
        "- stops %d (clicks not handled before the lesson ended: %d); %d while the "
        "output was silent, of which %d were followed by a tone\n",
        result.stops, result.missed, result.inGap, result.soundedAfter);
    std::printf("- click handled -> the sounding tone's half-amplitude end: %s\n",
                qPrintable(Described(SpreadOf(result.toHalfMs))));
    std::printf("- click handled -> output below 1 %% of full level for good: %s\n",
                qPrintable(Described(SpreadOf(result.toSilenceMs))));
    std::printf(
        "- largest step between samples from a click to silence: %.3f of a full-level "
        "sine's own\n",
        result.largestStepRatio);
    std::printf("- machine busy %.0f %%, %s\n", 100 * result.machineBusy,
                qPrintable(MachineLoad::loadLine()));
    std::fflush(stdout);
}
