#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <optional>

#include "core/kit/Places.h"
#include "core/kit/RealClock.h"
#include "core/link/NetPorts.h"
#include "core/morse/FreeSpeed.h"
#include "core/sound/RealSoundOutput.h"
#include "ui/app/MainForm.h"
#include "ui/kit/QtDesktopServices.h"

// The peer on the other PC, on a thread of its own: takes the window's connection, sends its
// callsign, answers the presence pings (so the link stands for hours) and drops whatever the
// window sends.
class LinkPeer : public QThread {
  public:
    explicit LinkPeer(const NetPorts& ports) : m_ports(ports) {}
    ~LinkPeer() override;
    qint64 threadId() const { return m_threadId; }

  protected:
    void run() override;

  private:
    NetPorts m_ports;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_threadId{0};
};

// What the window is set to for a lesson.
struct LessonSettings {
    SoundGenerator generator = SoundGenerator::Beep;
    int speed = 45;
    int fineAdjust = 0;
    // A speed of its own, chosen instead of the speed option.
    std::optional<FreeSpeed> free;
    int waveQuality = 3;  // 20 ms ramps
};

// The whole program as main() builds it (real clock, real sound output, Qt's desktop services),
// on temporary folders and free ports, its window shown and linked to the peer, an answerer in
// Normal receive mode. Lessons are played as the user plays them: by the start button, through
// the window's own lesson controller and question player.
class WindowRig {
  public:
    static constexpr int kToneHz = 800;
    // WAV quality 3 has 20 ms ramps, so even the fixed speeds' shortest dot reaches full level;
    // volume 1 is the beep's level.
    static constexpr int kWaveQuality = 3;
    static constexpr int kWaveVolume = 1;

    WindowRig();
    ~WindowRig();

    // Waits for the sound server (at most 10 s) and the link (at most 10 s).
    bool start(QString& error);
    void apply(const LessonSettings& settings);
    // Plays a Normal lesson of the question to its end, through the start button. Returns when
    // the window is done with it (the model answer shown).
    void playLesson(const QString& question);

    MainForm& form() { return m_form; }
    RealSoundOutput& sound() { return m_sound; }
    RealClock& clock() { return m_clock; }
    qint64 peerThreadId() const { return m_peer.threadId(); }
    // The file the WAV generator wrote for a sign ("H", "5", "BT", "AR").
    QString wavePath(const QString& signName);

  private:
    QTemporaryDir m_programDir;
    QTemporaryDir m_currentDir;
    RealClock m_clock;
    RealSoundOutput m_sound{m_clock};
    QtDesktopServices m_desktop{m_clock};
    Places m_places{m_programDir.path(), m_currentDir.path()};
    NetPorts m_ports;
    LinkPeer m_peer;
    MainForm m_form;
};
