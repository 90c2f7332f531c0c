#pragma once

#include <QString>
#include <functional>

class Clock;
class QLabel;

// How a role label shows a status word: red for 1000 ms, then black for 500 ms, pass after pass.
struct Blink {
    QLabel* label;
    // The caption shown in each phase, read afresh.
    std::function<QString()> caption;
    // Asked at the top of each pass: the loop ends there.
    std::function<bool()> ended;
    // Asked after the red phase: the loop is left there, the label still red.
    std::function<bool()> leaveAfterRed;
    // The link the blink began on has gone: the blink ends at once, in the middle of a phase too.
    std::function<bool()> abandoned;
};

// Runs the blink until one of its rules ends it or the program ends. Other events run in its
// phases, and the message that ends it is dispatched there.
void RunBlink(Clock& clock, const Blink& blink);
