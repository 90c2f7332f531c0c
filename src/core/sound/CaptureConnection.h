#pragma once

#include <functional>

#include "core/sound/CaptureFault.h"

struct pa_context;
struct pa_threaded_mainloop;
struct pa_time_event;

// A connection of its own to the sound server for listing or recording sources: the server
// library's threaded main loop and a context on it, connected without holding up the thread that
// opens it. A server that is not there, or that does not answer within the time given, is one
// failure; so is a server that goes away later. Nothing is retried: the owner opens again.
//
// open() and close() belong to the owner's thread, never to the loop's. The callbacks run on the
// loop's thread with its lock held; failed runs at most once.
class CaptureConnection {
  public:
    using Ready = std::function<void(pa_context* context)>;
    using Failed = std::function<void(CaptureFault fault)>;

    CaptureConnection() = default;
    ~CaptureConnection();
    CaptureConnection(const CaptureConnection&) = delete;
    CaptureConnection& operator=(const CaptureConnection&) = delete;

    // Closes any connection first. Until answered() is called, failed(ServerSilent) follows
    // answerWithinMs after the start.
    void open(const char* name, int answerWithinMs, Ready ready, Failed failed);
    // The owner's streams and timers must be gone (with the lock held) before this.
    void close();
    bool isOpen() const { return m_loop != nullptr; }

    pa_threaded_mainloop* loop() const { return m_loop; }
    // The loop's thread: the server answered what the owner asked; the time limit is off.
    void answered();
    void fail(CaptureFault fault);

  private:
    static void onState(pa_context* context, void* self);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_time_event* m_deadline = nullptr;
    Ready m_ready;
    Failed m_failed;
    bool m_wasReady = false;
    bool m_hasFailed = false;
};
