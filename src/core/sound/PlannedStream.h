#pragma once

#include <QMutex>
#include <QVector>
#include <atomic>
#include <deque>

#include "core/sound/SoundTimeline.h"

struct pa_stream;
struct pa_context;
struct pa_threaded_mainloop;
struct pa_time_event;
struct pa_mainloop_api;
struct timeval;

// The stream that plays planned sound. The sound server keeps a quarter of a second of it (so a
// starved thread of this program leaves no hole) and asks for more in small steps with a short
// device buffer (so a stop or a sound planned into silence is heard within milliseconds); what
// lies further ahead waits in a queue here. Positions are this stream's own sample count, across
// every server stream it opened. Everything the server holds can still be changed: a stop or a
// sound planned into the near future rewrites it in place.
//
// Lock order: the threaded main loop's lock, then m_mutex. The server's thread holds the first in
// every callback; the window thread takes it for every call that reaches the server.
class PlannedStream {
  public:
    static constexpr int kServerBufferMs = 250;
    static constexpr int kRequestMs = 10;
    // Left idle this long, the stream is corked, so that the server can let the device sleep.
    static constexpr int kCorkAfterMs = 3000;

    struct Progress {
        SoundPosition written = 0;   // handed to the server
        SoundPosition heard = 0;     // first sample not yet heard, estimated now
        SoundPosition earliest = 0;  // nothing before it can still be changed
        bool fresh = true;           // the server answered lately (or nothing is expected of it)
        qint64 latencySamples = -1;  // the device buffer as the server last told it; -1: not yet
    };

    explicit PlannedStream(pa_threaded_mainloop* loop);
    ~PlannedStream();
    PlannedStream(const PlannedStream&) = delete;
    PlannedStream& operator=(const PlannedStream&) = delete;

    // Server thread (with the loop's lock): opens a server stream on the context, told of its
    // state changes through onState; false when it cannot. Positions go on from the last one.
    using StateCallback = void (*)(pa_stream*, void*);
    bool attach(pa_context* context, StateCallback onState, void* userdata);
    // Closes the server stream; what waited here is dropped.
    void detach();
    bool isReady() const;
    bool hasFailed() const;

    // Window thread (never with the loop's lock).
    Progress progress() const;
    void mix(SoundPosition position, const QVector<qint16>& samples);
    void discardFrom(SoundPosition position);
    // Silence up to the position, if nothing is planned there yet.
    void extendTo(SoundPosition end);
    // Times the server ran dry while sound was waiting here: a hole in what was heard.
    int underruns() const;

  private:
    static void onWrite(pa_stream* stream, size_t bytes, void* self);
    static void onUnderflow(pa_stream* stream, void* self);
    static void onTiming(pa_stream* stream, int success, void* self);
    static void onTick(pa_mainloop_api* api, pa_time_event* event, const struct timeval* time,
                       void* self);
    // Every few ms while sound is planned: more for the server, a new timing, and the cork once
    // the stream has been idle long enough. False once it is idle and corked.
    bool tick();
    void armTick();
    void writeQueued(size_t maxBytes);
    void rewrite(SoundPosition from, const QVector<qint16>& samples);
    void requestTiming();
    void uncork();
    SoundPosition heardAt(double monotonicMs) const;
    SoundPosition earliestChangeable(SoundPosition heard) const;
    void trimHistory(SoundPosition heard);

    pa_threaded_mainloop* m_loop;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    pa_time_event* m_tickEvent = nullptr;
    bool m_ticking = false;
    std::atomic<bool> m_corked{false};
    bool m_timingRequested = false;
    bool m_primed = false;
    double m_idleSinceMs = -1;

    mutable QMutex m_mutex;
    SoundPosition m_base = 0;      // own position of the server stream's first sample
    SoundPosition m_written = 0;   // own position of the next sample to hand over
    std::deque<qint16> m_queue;    // samples from m_written on
    std::deque<qint16> m_history;  // samples handed over, from m_historyStart on
    SoundPosition m_historyStart = 0;
    // The last timing the server gave: where it read at a moment of the monotonic clock.
    double m_timingMs = -1;
    SoundPosition m_readAtTiming = 0;
    qint64 m_latencySamples = 0;  // device buffer less the transport time
    bool m_latencyKnown = false;
    int m_underruns = 0;
};

// The monotonic clock in milliseconds, as the stream's timing uses it.
double MonotonicMs();
