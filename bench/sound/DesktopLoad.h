#pragma once

#include <QString>
#include <QTimer>
#include <memory>

#include "BusyLoops.h"
#include "DesktopClient.h"

// What runs beside the program while it plays.
enum class Condition {
    Idle,          // nothing but the desktop (the accessibility bus up, nothing reading)
    Reader,        // a client reading the window's whole accessible tree without a break
    Busy,          // two busy loops, as many as the machine has cores
    Stall,         // the window thread blocked for 500 ms once a second
    All,           // all three at once
    ScreenReader,  // a client following the window's events as a screen reader does
};

QString ConditionName(Condition condition);
// "idle", "reader", "busy", "stall", "all", "screenreader".
bool ParseCondition(const QString& name, Condition& condition);

// Blocks the window thread (the thread that makes it) for stallMs every periodMs, busy all the
// while, as a slow handler would: a hook of the benchmark, not of the program.
class WindowStall {
  public:
    explicit WindowStall(int stallMs = 500, int periodMs = 1000);
    // The window thread's time spent in the stalls so far, which is the benchmark's, not the
    // program's.
    double stalledMs() const { return m_stalledMs; }

  private:
    QTimer m_timer;
    double m_stalledMs = 0;
};

// Starts what the condition puts beside the program, and ends it when it goes.
class DesktopLoad {
  public:
    explicit DesktopLoad(Condition condition);
    ~DesktopLoad();
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    // Ends it now; what the reader did, for the table.
    QString finish();
    // The window thread's time in the stalls so far (ms).
    double stalledMs() const { return m_stall ? m_stall->stalledMs() : 0; }

  private:
    std::unique_ptr<DesktopClient> m_reader;
    std::unique_ptr<BusyLoops> m_loops;
    std::unique_ptr<WindowStall> m_stall;
    QString m_error;
    QString m_summary;
};
