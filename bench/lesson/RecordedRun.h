#pragma once

#include <QString>
#include <functional>

#include "MonitorRecording.h"
#include "common/Clock.h"

struct RecordedRun {
    bool ok = false;
    QString error;
    Recording recording;
    double playSeconds = 0;  // how long play() took
    double machineBusy = 0;  // share of all CPUs' time in use while play() ran, whoever used it
};

// Records the null sink's monitor into wavPath while play() runs, with a second of silence
// before (the recorder settles) and half a second after (the last sound drains).
RecordedRun RecordWhile(Clock& clock, const QString& wavPath, const std::function<bool()>& play);
