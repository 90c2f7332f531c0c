#pragma once

#include "common/FormContext.h"
#include "net/NetPorts.h"

class ClockTimer;
class LessonPanel;

// What the peer link's handlers work on besides the form: the lesson's controls they set, the
// ports and the window's timers.
struct NetWindow : FormContext {
    LessonPanel& lessonPanel;
    NetPorts ports;
    ClockTimer& connectTimer;
    ClockTimer& retryPingTimer;
};
