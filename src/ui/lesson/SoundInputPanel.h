#pragma once

#include <QWidget>

#include "core/lesson/SoundDecodingSession.h"

class Announcer;
class DesktopServices;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

// Where the sound to decode comes from: one of the sound server's sources (listed again with
// 更新), started and stopped, or a WAV file; its level, and a status line that says in words
// what the session's input is doing and why it failed.
class SoundInputPanel : public QWidget {
    Q_OBJECT
  public:
    SoundInputPanel(SoundDecodingSession& session, DesktopServices& desktop, Announcer& announcer,
                    QWidget* parent = nullptr);

    // Asks the file dialog for a WAV file and opens it.
    void chooseFile();
    // Opens a WAV file; a refusal is told in the status line and nothing else changes.
    void openFile(const QString& path);

    QComboBox* sources() const { return m_sources; }
    QPushButton* refreshButton() const { return m_refresh; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* stopButton() const { return m_stop; }
    QPushButton* fileButton() const { return m_file; }
    QProgressBar* level() const { return m_level; }
    QLabel* status() const { return m_status; }

  private:
    void listed(const QList<CaptureSource>& sources, CaptureFault fault);
    void startChosen();
    void showLevel(double peakDb);
    void showState();

    SoundDecodingSession& m_session;
    DesktopServices& m_desktop;
    QComboBox* m_sources;
    QPushButton* m_refresh;
    QPushButton* m_start;
    QPushButton* m_stop;
    QPushButton* m_file;
    QProgressBar* m_level;
    QLabel* m_status;
};
