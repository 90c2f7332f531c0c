#pragma once

#include "core/link/NetPorts.h"
#include "ui/kit/FormContext.h"

class ClockTimer;
class LessonPanel;
struct LinkUi;
struct SoundUi;

// What the peer link's handlers work on besides the form: the link's own controls, the sound
// settings they read and enable, the lesson's controls they set, the ports and the window's
// timers.
struct NetWindow : FormContext {
    const LinkUi& ui;
    const SoundUi& soundUi;
    LessonPanel& lessonPanel;
    NetPorts ports;
    ClockTimer& connectTimer;
    ClockTimer& retryPingTimer;
};
