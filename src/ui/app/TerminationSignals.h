#pragma once

#include <QObject>

class Clock;
class QSocketNotifier;

// Ends the program in order when the desktop asks it to (log-out, kill, Ctrl+C in a
// terminal): the request cuts a playing tone short and reaches the window as an
// ordinary event, which then saves and cleans up as when the window is closed.
class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    // Handles SIGTERM, SIGINT and SIGHUP from now on; one instance at a time.
    explicit TerminationSignals(Clock& clock, QObject* parent = nullptr);
    ~TerminationSignals() override;

  signals:
    void terminationRequested();

  private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};
