#pragma once

#include <atomic>

#include "core/sound/KeyedTone.h"

struct pa_stream;
struct pa_context;
struct pa_threaded_mainloop;
struct pa_time_event;
struct pa_mainloop_api;
struct timeval;

// The keyed tone: sound that cannot be planned, since nobody knows when the key goes down or up.
// A stream of its own beside the planned one (the server mixes the two), with a device buffer of
// a few milliseconds. While the key is down the server holds a fifth of a second of the tone, so
// a starved thread of this program leaves no hole; a key going up or down rewrites what the
// server holds from the first sample it can still change, so the edge is heard within a few
// milliseconds. Once the key is up and the fall written, nothing more is written: the stream runs
// dry and costs nothing.
//
// Everything here runs with the loop's lock held: the server's thread holds it in every callback,
// keyDown and keyUp take it.
class LiveStream {
  public:
    static constexpr int kAheadMs = 200;
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
    static void onWrite(pa_stream* stream, size_t bytes, void* self);
    static void onTiming(pa_stream* stream, int success, void* self);
    static void onTick(pa_mainloop_api* api, pa_time_event* event, const struct timeval* time,
                       void* self);
    // The first sample the server has not taken yet, estimated now; never past what it was given.
    SoundPosition readNow() const;
    void topUp();
    void send(const KeyedTone::Write& write);
    void requestTiming();
    void armTick();

    pa_threaded_mainloop* m_loop;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    pa_time_event* m_tickEvent = nullptr;
    bool m_ticking = false;
    bool m_timingRequested = false;
    std::atomic<bool> m_down{false};
    // When the key went down, on the monotonic clock: the tone lasts as long as it was held.
    double m_pressedMs = 0;

    KeyedTone m_tone;
    // The last timing the server gave: where it read at a moment of the monotonic clock.
    double m_timingMs = -1;
    SoundPosition m_readAtTiming = 0;
};
