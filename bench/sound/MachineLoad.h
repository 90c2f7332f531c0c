#pragma once

#include <QString>

// How busy the whole machine is, whoever keeps it busy: other people's builds share it.
class MachineLoad {
  public:
    // Starts counting the share of all CPUs' time in use.
    void start();
    // The share since start() (0 … 1).
    double busyShare() const;
    // The 1-minute load average now.
    static double loadAverage();
    // "load 0.52 0.80 1.10" as /proc/loadavg gives it.
    static QString loadLine();

  private:
    double m_busy = 0;
    double m_total = 0;
};
