#pragma once

#include <QMutex>
#include <QVector>
#include <atomic>

struct pa_stream;
struct pa_context;
struct pa_threaded_mainloop;

// The keyed tone: sound that cannot be planned, since nobody knows when the key goes down or up.
// A stream of its own with a buffer of a few milliseconds, fed while the key is down and left to
// run dry when it is up, so a key that goes down reaches the output at once and one that goes up
// ends the tone within the buffer's length. Its edges are raised cosines (no click); it never
// touches the planned stream, which the server mixes beside it.
//
// Lock order as the planned stream's: the loop's lock, then m_mutex.
class LiveStream {
  public:
    static constexpr int kBufferMs = 6;
    static constexpr int kRequestMs = 2;

    explicit LiveStream(pa_threaded_mainloop* loop);
    ~LiveStream();
    LiveStream(const LiveStream&) = delete;
    LiveStream& operator=(const LiveStream&) = delete;

    // Server thread (with the loop's lock).
    bool attach(pa_context* context);
    void detach();
    bool isReady() const;

    // Any thread but the server's (never with the loop's lock).
    void keyDown(int frequencyHz);
    void keyUp();
    bool isDown() const { return m_down; }

  private:
    enum class Phase { Silent, Rising, Steady, Falling };

    static void onWrite(pa_stream* stream, size_t bytes, void* self);
    // Renders up to maxBytes of the tone and hands it over (with the loop's lock).
    void feed(size_t maxBytes);
    QVector<qint16> render(qsizetype count);

    pa_threaded_mainloop* m_loop;
    pa_stream* m_stream = nullptr;
    std::atomic<bool> m_down{false};

    QMutex m_mutex;
    Phase m_phase = Phase::Silent;
    qint64 m_edgeSample = 0;  // samples into the current edge
    double m_angle = 0;       // the oscillator's phase, kept across edges
    double m_step = 0;        // radians per sample
};
