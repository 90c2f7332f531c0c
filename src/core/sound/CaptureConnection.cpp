#include "core/sound/CaptureConnection.h"

#include <pulse/pulseaudio.h>

#include "core/sound/StreamParts.h"

CaptureConnection::~CaptureConnection() {
    close();
}

void CaptureConnection::open(const char* name, int answerWithinMs, Ready ready, Failed failed) {
    close();
    m_ready = std::move(ready);
    m_failed = std::move(failed);
    m_wasReady = false;
    m_hasFailed = false;
    m_loop = pa_threaded_mainloop_new();
    if (m_loop == nullptr) {
        fail(CaptureFault::NoServer);
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), name);
    if (m_context == nullptr) {
        fail(CaptureFault::NoServer);
    } else {
        auto onDeadline = [](pa_mainloop_api* /*api*/, pa_time_event* /*event*/,
                             const struct timeval* /*time*/, void* self) {
            static_cast<CaptureConnection*>(self)->fail(CaptureFault::ServerSilent);
        };
        ArmTimer(m_context, m_deadline, answerWithinMs, onDeadline, this);
        pa_context_set_state_callback(m_context, &CaptureConnection::onState, this);
        // As for the output: no server is started for this program.
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            fail(CaptureFault::NoServer);
        }
    }
    pa_threaded_mainloop_unlock(m_loop);
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        fail(CaptureFault::NoServer);
    }
}

void CaptureConnection::close() {
    if (m_loop == nullptr) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    ReleaseTimer(m_loop, m_deadline);
    ReleaseContext(m_context);
    pa_threaded_mainloop_unlock(m_loop);
    // Nothing the loop's thread does waits on the server: it ends at once.
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

void CaptureConnection::answered() {
    ReleaseTimer(m_loop, m_deadline);
}

void CaptureConnection::fail(CaptureFault fault) {
    if (m_hasFailed) {
        return;
    }
    m_hasFailed = true;
    if (m_loop != nullptr) {
        ReleaseTimer(m_loop, m_deadline);
    }
    if (m_failed) {
        m_failed(fault);
    }
}

void CaptureConnection::onState(pa_context* context, void* self) {
    auto* connection = static_cast<CaptureConnection*>(self);
    switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            connection->m_wasReady = true;
            if (!connection->m_hasFailed && connection->m_ready) {
                connection->m_ready(context);
            }
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            connection->fail(connection->m_wasReady ? CaptureFault::ServerGone
                                                    : CaptureFault::NoServer);
            break;
        default:
            break;
    }
}
