#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "MonitorRecording.h"
#include "common/Clock.h"

class QProcess;

// Busy shell loops that compete for the CPU while they live.
class BusyLoops {
  public:
    explicit BusyLoops(int count);
    ~BusyLoops();
    BusyLoops(const BusyLoops&) = delete;
    BusyLoops& operator=(const BusyLoops&) = delete;

  private:
    QList<QProcess*> m_loops;
};

struct RecordedRun {
    bool ok = false;
    QString error;
    Recording recording;
    double playSeconds = 0;  // how long play() took
    double machineBusy = 0;  // share of all CPUs' time in use while play() ran, whoever used it
};

// Records the null sink's monitor into wavPath while play() runs, with a second of silence
// before (the recorder settles) and half a second after (the last sound drains).
RecordedRun RecordWhile(Clock& clock, const QString& wavPath, const std::function<bool()>& play);
