#pragma once

#include <QString>
#include <functional>

#include "core/link/NetPorts.h"

class Clock;
class DesktopServices;
class Places;
class SoundOutput;

// The seams a main window runs on: the real ones in the program, fakes in tests.
struct AppContext {
    Clock& clock;
    SoundOutput& sound;
    DesktopServices& desktop;
    Places& places;
    // Ends the process's event processing; called once, after the clean-up.
    std::function<void()> exitProgram;
    // The peer link's ports; tests give free ones.
    NetPorts ports = {};
    // The lesson history's database; empty: the per-user one.
    QString historyPath = {};
};
