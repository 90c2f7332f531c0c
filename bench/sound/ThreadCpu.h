#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

// CPU time of this process's threads, to the nanosecond (the scheduler's own account), so that
// the program's share can be told apart from the benchmark's own threads (the recorder, the
// peer) that live in the same process.
namespace ThreadCpu {

// The calling thread's id as the kernel knows it.
qint64 CurrentThreadId();

// Every thread's CPU time so far in ms, by thread id.
QMap<qint64, double> ThreadTimesMs();

// A thread's name (what the kernel shows in /proc), for the per-thread figures.
QString ThreadName(qint64 threadId);

}  // namespace ThreadCpu

// CPU used between start() and stop(): the whole program's (every thread but the excluded ones)
// and its window thread's, and each thread's, against the wall time.
class CpuMeter {
  public:
    struct Result {
        double wallMs = 0;
        double programMs = 0;                // all threads but the excluded ones
        double windowMs = 0;                 // the thread that called start()
        QMap<QString, double> byThreadName;  // ms, threads of the same name added up
        double programShare() const { return wallMs > 0 ? programMs / wallMs : 0; }
        double windowShare() const { return wallMs > 0 ? windowMs / wallMs : 0; }
    };

    explicit CpuMeter(QSet<qint64> excluded = {}) : m_excluded(std::move(excluded)) {}
    void start();
    Result stop() const;

  private:
    QSet<qint64> m_excluded;
    QMap<qint64, double> m_before;
    double m_startMs = 0;
    qint64 m_window = 0;
};
