#pragma once

#include <QString>

#include "DesktopLoad.h"
#include "MonitorTap.h"
#include "TimingTable.h"
#include "WindowRig.h"

// What every run shares: the program's window, the recorder at the sink's output, the question.
struct LessonBench {
    WindowRig& rig;
    MonitorTap& tap;
    QString question;
};

// One Normal lesson played through the window's start button beside the condition, its output
// recorded and compared with the nominal timeline, the labels' changes with the characters'
// first edges, and the program's CPU.
TimingRow RunLesson(LessonBench& bench, const LessonSettings& settings, Condition condition);
