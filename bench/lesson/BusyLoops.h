#pragma once

#include <QList>

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
