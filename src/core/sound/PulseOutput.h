#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "core/sound/LiveStream.h"
#include "core/sound/PlannedStream.h"

struct pa_context;
struct pa_threaded_mainloop;
struct pa_time_event;

// The program's link to the desktop's sound server (PulseAudio, or PipeWire's PulseAudio
// server): a thread of the server library's own, which asks for real-time scheduling, connects
// without ever holding up the window thread, and connects again a second after the server went
// away. It carries the planned stream and, while keying is open, the live one.
class PulseOutput : public QObject {
    Q_OBJECT
  public:
    enum class State { Connecting, Ready, Failed };

    explicit PulseOutput(QObject* parent = nullptr);
    ~PulseOutput() override;

    // Starts the thread and the first connection.
    void start();
    // Stops the thread; false when it did not end within the time (a server library stuck in a
    // call is left behind rather than waited for).
    bool shutDown(int timeoutMs);

    State state() const { return m_state; }
    // How the thread's real-time request went, for the status line and the benchmark.
    QString realtimeState() const;

    // Between start() and shutDown(): only then are there streams to ask.
    bool started() const { return m_planned != nullptr; }
    PlannedStream& planned() { return *m_planned; }
    const PlannedStream& planned() const { return *m_planned; }

    // The keyed tone: its stream is open between these two.
    void openLive();
    void closeLive();
    // The keyed tone's key; nothing before start() or after shutDown(), when the program ends
    // with a keying window still open.
    void keyDown(int frequencyHz);
    void keyUp();

  signals:
    // From the server's thread, queued to the window's.
    void stateChanged();

  private:
    static void onContextState(pa_context* context, void* self);
    static void onStreamState(pa_stream* stream, void* self);
    void connectContext();
    void retryLater();
    void setState(State state);
    void promoteThread();

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_time_event* m_retry = nullptr;
    std::unique_ptr<PlannedStream> m_planned;
    std::unique_ptr<LiveStream> m_live;
    std::atomic<State> m_state{State::Connecting};
    std::atomic<bool> m_liveWanted{false};
    bool m_promoted = false;
    std::atomic<int> m_realtime{0};  // 0 unknown, 1 granted, -1 refused
};
