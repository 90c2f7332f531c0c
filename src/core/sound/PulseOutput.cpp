#include "core/sound/PulseOutput.h"

#include <pulse/pulseaudio.h>

#include "core/sound/RealtimeThread.h"
#include "core/sound/StreamParts.h"

namespace {
constexpr pa_usec_t kRetryUsec = 1000 * 1000;
}

PulseOutput::PulseOutput(QObject* parent) : QObject(parent) {}

PulseOutput::~PulseOutput() {
    shutDown(200);
}

void PulseOutput::start() {
    if (m_loop != nullptr) {
        return;
    }
    m_loop = pa_threaded_mainloop_new();
    if (m_loop == nullptr) {
        setState(State::Failed);
        return;
    }
    m_planned = std::make_unique<PlannedStream>(m_loop);
    m_live = std::make_unique<LiveStream>(m_loop);
    pa_threaded_mainloop_lock(m_loop);
    connectContext();
    pa_threaded_mainloop_unlock(m_loop);
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        setState(State::Failed);
    }
}

bool PulseOutput::shutDown(int /*timeoutMs*/) {
    if (m_loop == nullptr) {
        return true;
    }
    pa_threaded_mainloop_lock(m_loop);
    m_planned->detach();
    m_live->detach();
    if (m_retry != nullptr) {
        pa_threaded_mainloop_get_api(m_loop)->time_free(m_retry);
        m_retry = nullptr;
    }
    ReleaseContext(m_context);
    pa_threaded_mainloop_unlock(m_loop);
    // The library's thread wakes at once for this: nothing it does waits on the server.
    pa_threaded_mainloop_stop(m_loop);
    m_planned.reset();
    m_live.reset();
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
    return true;
}

QString PulseOutput::realtimeState() const {
    switch (m_realtime.load()) {
        case 1:
            return QStringLiteral("real-time");
        case -1:
            return QStringLiteral("normal priority");
        default:
            return QStringLiteral("unknown");
    }
}

void PulseOutput::connectContext() {
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Quillstart");
    if (m_context == nullptr) {
        retryLater();
        return;
    }
    pa_context_set_state_callback(m_context, &PulseOutput::onContextState, this);
    // No server of its own is started for this program: without one it runs silent.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        ReleaseContext(m_context);
        retryLater();
    }
}

void PulseOutput::retryLater() {
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    timeval due{};
    pa_gettimeofday(&due);
    pa_timeval_add(&due, kRetryUsec);
    // Started afresh from the loop, never from inside a callback of what is dropped.
    auto onRetry = [](pa_mainloop_api* /*api*/, pa_time_event* /*event*/,
                      const struct timeval* /*time*/, void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        output->m_planned->detach();
        output->m_live->detach();
        ReleaseContext(output->m_context);
        output->connectContext();
    };
    if (m_retry == nullptr) {
        m_retry = api->time_new(api, &due, onRetry, this);
    } else {
        api->time_restart(m_retry, &due);
    }
}

void PulseOutput::promoteThread() {
    // Only the library's own thread: connecting may call back on the caller's at once.
    if (m_promoted || !pa_threaded_mainloop_in_thread(m_loop)) {
        return;
    }
    m_promoted = true;
    if (RealtimeThread::PromoteCurrentThread()) {
        m_realtime = 1;
        return;
    }
    // Not allowed to by itself: the window thread asks RealtimeKit for this thread.
    const qint64 thread = RealtimeThread::CurrentThreadId();
    QMetaObject::invokeMethod(
        this,
        [this, thread] {
            RealtimeThread::RequestFromRealtimeKit(
                thread, this,
                [this](bool granted, const QString&) { m_realtime = granted ? 1 : -1; });
        },
        Qt::QueuedConnection);
}

void PulseOutput::onContextState(pa_context* context, void* self) {
    auto* output = static_cast<PulseOutput*>(self);
    output->promoteThread();
    switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            if (!output->m_planned->attach(context, &PulseOutput::onStreamState, output)) {
                output->setState(State::Failed);
            }
            if (output->m_liveWanted) {
                output->m_live->attach(context);
            }
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            output->setState(State::Failed);
            output->retryLater();
            break;
        default:
            break;
    }
}

void PulseOutput::onStreamState(pa_stream* stream, void* self) {
    auto* output = static_cast<PulseOutput*>(self);
    switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            output->setState(State::Ready);
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            output->setState(State::Failed);
            output->retryLater();
            break;
        default:
            break;
    }
}

void PulseOutput::setState(State state) {
    if (m_state.exchange(state) != state) {
        QMetaObject::invokeMethod(this, &PulseOutput::stateChanged, Qt::QueuedConnection);
    }
}

void PulseOutput::openLive() {
    m_liveWanted = true;
    if (m_loop == nullptr) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    if (m_context != nullptr && pa_context_get_state(m_context) == PA_CONTEXT_READY &&
        !m_live->isReady()) {
        m_live->attach(m_context);
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void PulseOutput::keyDown(int frequencyHz) {
    if (m_live) {
        m_live->keyDown(frequencyHz);
    }
}

void PulseOutput::keyUp() {
    if (m_live) {
        m_live->keyUp();
    }
}

void PulseOutput::closeLive() {
    m_liveWanted = false;
    if (m_loop == nullptr) {
        return;
    }
    m_live->keyUp();
    pa_threaded_mainloop_lock(m_loop);
    m_live->detach();
    pa_threaded_mainloop_unlock(m_loop);
}
