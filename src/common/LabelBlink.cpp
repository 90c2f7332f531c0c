#include "common/LabelBlink.h"

#include <QLabel>

#include "common/Clock.h"
#include "common/ControlHelpers.h"

namespace {

constexpr int kRedMs = 1000;
constexpr int kBlackMs = 500;

}  // namespace

void RunBlink(Clock& clock, const Blink& blink) {
    // True when the phase ran its time; false when the link went or the program is ending.
    const auto phase = [&clock, &blink](const QColor& colour, int ms) {
        ShowLabel(blink.label, blink.caption(), colour);
        return !WaitUntil(clock, blink.abandoned, ms) && !clock.quitting();
    };
    while (!clock.quitting() && !blink.abandoned() && !blink.ended()) {
        if (!phase(kRed, kRedMs) || blink.leaveAfterRed()) {
            return;
        }
        if (!phase(kBlack, kBlackMs)) {
            return;
        }
    }
}
