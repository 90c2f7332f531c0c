#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// desktop_client.py run beside the program on the same desktop: a client reading the window
// over the accessibility bus, or a keyboard and mouse driven through the X server.
class DesktopClient {
  public:
    DesktopClient() = default;
    ~DesktopClient();
    DesktopClient(const DesktopClient&) = delete;
    DesktopClient& operator=(const DesktopClient&) = delete;

    // Starts it ("walk", pid) and waits until it says it is ready (at most 30 s).
    bool start(const QStringList& arguments, QString& error);
    // Sends it a line (in its "input" mode).
    void send(const QString& line);
    // Whether it is still at work.
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // Waits until it has ended by itself (at most timeoutMs); returns its summary line.
    QString finish(int timeoutMs);
    // Ends it with SIGTERM and returns its summary line.
    QString stop();

  private:
    QProcess m_process;
    QString m_summary;
};
