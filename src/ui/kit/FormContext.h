#pragma once

class Clock;
class DesktopServices;
class QWidget;
class SessionChoices;
struct LessonState;
struct LinkState;

// What every subsystem of a main window works on: the window (the anchor of the windows it
// opens), the shared state, the session's choices, the clock and the desktop. Each is handed the
// controls it owns besides.
struct FormContext {
    QWidget& window;
    LinkState& link;
    LessonState& lesson;
    SessionChoices& choices;
    Clock& clock;
    DesktopServices& desktop;
};
