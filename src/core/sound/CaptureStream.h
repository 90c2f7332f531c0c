#pragma once

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <memory>

#include "core/sound/CaptureConnection.h"
#include "core/sound/CaptureFault.h"
#include "core/sound/CaptureRing.h"

struct pa_stream;
struct pa_mainloop_api;
struct timeval;

// Sound recorded from one of the server's sources, for decoding: mono float samples at the
// source's own rate (the server mixes the channels down), in blocks of about 20 ms so the decoder
// hears a signal soon after it sounds, each with its level for a meter. The blocks wait in a ring
// that the server's thread fills without ever waiting for the window's; blocksReady() says there
// are some. A source that goes away, a recording that fails or one that brings no sound for a
// second is a state with its reason, never a wait.
//
// Everything here but the callbacks belongs to the owner's thread.
class CaptureStream : public QObject {
    Q_OBJECT
  public:
    enum class State { Stopped, Connecting, Running, Stalled, Failed };

    static constexpr int kBlockMs = 20;
    static constexpr int kRingBlocks = 100;  // two seconds waiting at most
    static constexpr int kSilentAfterMs = 1000;
    static constexpr int kAnswerWithinMs = 2000;
    static constexpr int kLowestRate = 8000;

    explicit CaptureStream(QObject* parent = nullptr);
    ~CaptureStream() override;

    // Records the named source (the server's default for an empty name) at sampleRate, stopping
    // any recording first. A rate no source has is refused at once: Failed, BadFormat.
    void start(const QByteArray& sourceName, int sampleRate);
    // At once, from any state.
    void stop();

    State state() const { return m_state.load(); }
    CaptureFault fault() const { return m_fault.load(); }
    int sampleRate() const { return m_rate; }

    // The oldest block recorded, false when none is waiting.
    bool takeBlock(CaptureBlock& into);
    // Blocks lost because they were not taken in time.
    qint64 droppedBlocks() const { return m_ring ? m_ring->dropped() : 0; }

  signals:
    void stateChanged();
    // Once until takeBlock() has found the ring empty: take every block then.
    void blocksReady();

  private:
    static void onStreamState(pa_stream* stream, void* self);
    static void onRead(pa_stream* stream, size_t bytes, void* self);
    static void onWatch(pa_mainloop_api* api, pa_time_event* event, const struct timeval* time,
                        void* self);
    // The loop's thread, with its lock held.
    void attach(pa_context* context);
    void setState(State state, CaptureFault fault);
    void readAll(pa_stream* stream);

    CaptureConnection m_connection;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    pa_time_event* m_watch = nullptr;
    std::unique_ptr<CaptureRing> m_ring;
    QByteArray m_source;
    int m_rate = 0;
    quint64 m_lastSoundUs = 0;
    std::atomic<State> m_state{State::Stopped};
    std::atomic<CaptureFault> m_fault{CaptureFault::None};
    std::atomic<bool> m_wakePending{false};
};
