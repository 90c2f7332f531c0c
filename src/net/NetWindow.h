#pragma once

#include "common/FormContext.h"
#include "net/NetPorts.h"

class ClockTimer;

// What the peer link's handlers work on besides the form: the ports and the window's timers.
struct NetWindow : FormContext {
    NetPorts ports;
    ClockTimer& connectTimer;
    ClockTimer& retryPingTimer;
};
