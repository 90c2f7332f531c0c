#pragma once

class Clock;
class DesktopServices;
class QWidget;
struct LessonState;
struct LinkState;
struct MainFormUi;

// What every subsystem of a main window works on: the window (the anchor of the windows it
// opens), its controls, the shared state, the clock and the desktop.
struct FormContext {
    QWidget& window;
    const MainFormUi& ui;
    LinkState& link;
    LessonState& lesson;
    Clock& clock;
    DesktopServices& desktop;
};
