#pragma once

#include <QString>
#include <optional>

#include "DesktopLoad.h"
#include "MonitorTap.h"
#include "TimingTable.h"
#include "WindowRig.h"
#include "core/morse/BandConditions.h"

// What every run shares: the program's window, the recorder at the sink's output, the question.
struct LessonBench {
    WindowRig& rig;
    MonitorTap& tap;
    QString question;
    // Band conditions every lesson is played under (none: the plain tone). With a background the
    // recorder hears the mix: the wanted tones are found with a detector a few tens of hertz
    // wide, and a hole is a run of silence, which the band's noise never is.
    std::optional<BandConditions> band;
    QString bandName;
};

// One Normal lesson played through the window's start button beside the condition, its output
// recorded and compared with the nominal timeline, the labels' changes with the characters'
// first edges, and the program's CPU.
TimingRow RunLesson(LessonBench& bench, const LessonSettings& settings, Condition condition);
