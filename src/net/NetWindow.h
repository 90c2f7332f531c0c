#pragma once

#include "net/NetPorts.h"

class Clock;
class ClockTimer;
class DesktopServices;
class QWidget;
struct LinkState;
struct MainFormUi;

// What the peer link's handlers work on: the main window, its controls, timers and shared state.
struct NetWindow {
    QWidget& window;
    const MainFormUi& ui;
    LinkState& link;
    Clock& clock;
    DesktopServices& desktop;
    NetPorts ports;
    ClockTimer& connectTimer;
    ClockTimer& retryPingTimer;
};
