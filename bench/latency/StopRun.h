#pragma once

#include <QList>
#include <QString>

#include "DesktopLoad.h"
#include "MonitorTap.h"
#include "WindowRig.h"

// The stop button clicked through the X server at a random moment of a Normal lesson: from the
// click handled to the output silent.
struct StopResult {
    QString condition;
    int stops = 0;
    int missed = 0;               // clicks that never reached the button
    QList<double> toHalfMs;       // click -> the sounding tone's half-amplitude end
    QList<double> toSilenceMs;    // click -> below 1 % of full level for good
    int inGap = 0;                // clicks while the output was already silent
    int soundedAfter = 0;         // clicks in a gap after which a tone still began
    double largestStepRatio = 0;  // the cut's largest step between samples, against the sine's
    double machineBusy = 0;
    QString error;
};

StopResult RunStops(WindowRig& rig, MonitorTap& tap, int stops, Condition condition, int seed);
void PrintStops(const StopResult& result);
