#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "DesktopLoad.h"
#include "MonitorTap.h"
#include "ToneComparison.h"
#include "WindowRig.h"

// The keyed tone through the X server's key events: when each press and release was handled,
// against the keyed tone's edges at the sink's output; whether its edges click; and, with a
// planned sequence playing beside it, whether that sequence's edges moved.
struct KeyingResult {
    QString condition;
    bool beside = false;  // a planned sequence played beside the keying
    bool throughPad = false;
    int presses = 0;
    int unmatched = 0;   // presses with no tone of their own at the output
    int splitTones = 0;  // presses whose tone came out in pieces (a hole)
    int unresolved = 0;  // pieces split where a planned edge falls: the two cannot be told apart
    QList<double> downLatencyMs;
    QList<double> upLatencyMs;
    // Each tone's length at the output against how long its key was held, for the presses that
    // came after at least kLongKeyUpMs of key-up (the live stream had run dry) and the others.
    static constexpr double kLongKeyUpMs = 200;
    QList<double> lengthErrorAfterPauseMs;
    QList<double> lengthErrorMs;
    double largestStepRatio = 0;  // the largest step between samples against the sine's own
    QList<double> riseMs;         // each tone's 10 % to 90 % rise
    // The planned sequence beside it: its tones, and its edges' errors once aligned on their
    // median, leaving out the edges within a few ms of a keyed edge (the envelopes cannot be told
    // apart there).
    std::optional<ToneComparison> planned;
    QList<double> plannedEdgeErrors;
    int plannedEdgesLeftOut = 0;
    int plannedUnderruns = 0;
    double machineBusy = 0;
    QString error;
};

// throughPad: the key events go to the sending practice's keying pad, not straight to the sound.
KeyingResult RunKeying(WindowRig& rig, MonitorTap& tap, int presses, bool beside,
                       Condition condition, int seed, bool throughPad = false);
void PrintKeying(const KeyingResult& result);
