#include "core/sound/CaptureStream.h"

#include <pulse/pulseaudio.h>

#include "core/sound/StreamParts.h"

namespace {

// How often a running recording is checked for sound that stopped coming.
constexpr int kCaptureWatchMs = 250;

}  // namespace

CaptureStream::CaptureStream(QObject* parent) : QObject(parent) {}

CaptureStream::~CaptureStream() {
    stop();
}

void CaptureStream::start(const QByteArray& sourceName, int sampleRate) {
    stop();
    m_ring.reset();
    m_source = sourceName;
    m_rate = sampleRate;
    if (sampleRate < kLowestRate || static_cast<unsigned>(sampleRate) > PA_RATE_MAX) {
        setState(State::Failed, CaptureFault::BadFormat);
        return;
    }
    m_ring = std::make_unique<CaptureRing>(kRingBlocks, sampleRate * kBlockMs / 1000);
    m_wakePending = false;
    setState(State::Connecting, CaptureFault::None);
    m_connection.open(
        "Quillstart capture", kAnswerWithinMs, [this](pa_context* context) { attach(context); },
        [this](CaptureFault fault) { setState(State::Failed, fault); });
}

void CaptureStream::stop() {
    if (m_connection.isOpen()) {
        pa_threaded_mainloop_lock(m_connection.loop());
        ReleaseTimer(m_connection.loop(), m_watch);
        ReleaseStream(m_stream);
        m_context = nullptr;
        pa_threaded_mainloop_unlock(m_connection.loop());
        m_connection.close();
    }
    setState(State::Stopped, CaptureFault::None);
}

bool CaptureStream::takeBlock(CaptureBlock& into) {
    if (m_ring && m_ring->take(into)) {
        return true;
    }
    // Cleared before the ring is looked at again, so a block put in meanwhile wakes the taker.
    m_wakePending = false;
    return m_ring && m_ring->take(into);
}

void CaptureStream::attach(pa_context* context) {
    m_context = context;
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(m_rate), 1};
    m_stream = pa_stream_new(context, "Quillstart capture", &format, nullptr);
    if (m_stream == nullptr) {
        setState(State::Failed, CaptureFault::StreamFailed);
        return;
    }
    pa_stream_set_state_callback(m_stream, &CaptureStream::onStreamState, this);
    pa_stream_set_read_callback(m_stream, &CaptureStream::onRead, this);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(m_rate * kBlockMs / 1000 * sizeof(float));
    // Never moved to another source: the user chose this one, and its end is news.
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
    if (pa_stream_connect_record(m_stream, m_source.isEmpty() ? nullptr : m_source.constData(),
                                 &attributes, flags) < 0) {
        setState(State::Failed, CaptureFault::StreamFailed);
    }
}

void CaptureStream::onStreamState(pa_stream* stream, void* self) {
    auto* capture = static_cast<CaptureStream*>(self);
    switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            capture->m_connection.answered();
            capture->m_lastSoundUs = pa_rtclock_now();
            capture->setState(State::Running, CaptureFault::None);
            ArmTimer(capture->m_context, capture->m_watch, kCaptureWatchMs, &CaptureStream::onWatch,
                     capture);
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED: {
            const int error = pa_context_errno(pa_stream_get_context(stream));
            const bool gone = error == PA_ERR_KILLED || error == PA_ERR_NOENTITY;
            capture->m_connection.answered();
            capture->setState(State::Failed,
                              gone ? CaptureFault::SourceGone : CaptureFault::StreamFailed);
            break;
        }
        default:
            break;
    }
}

void CaptureStream::onRead(pa_stream* stream, size_t /*bytes*/, void* self) {
    static_cast<CaptureStream*>(self)->readAll(stream);
}

void CaptureStream::readAll(pa_stream* stream) {
    bool put = false;
    while (pa_stream_readable_size(stream) > 0) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0) {
            setState(State::Failed, CaptureFault::StreamFailed);
            return;
        }
        if (bytes == 0) {
            break;  // nothing there after all, and nothing to drop
        }
        // A hole (no data, a length) is silence of that length.
        m_ring->putPeeked(data, bytes);
        pa_stream_drop(stream);
        put = true;
    }
    if (!put) {
        return;
    }
    m_lastSoundUs = pa_rtclock_now();
    if (m_state.load() == State::Stalled) {
        setState(State::Running, CaptureFault::None);
    }
    if (!m_wakePending.exchange(true)) {
        QMetaObject::invokeMethod(this, &CaptureStream::blocksReady, Qt::QueuedConnection);
    }
}

void CaptureStream::onWatch(pa_mainloop_api* /*api*/, pa_time_event* /*event*/,
                            const struct timeval* /*time*/, void* self) {
    auto* capture = static_cast<CaptureStream*>(self);
    const State state = capture->m_state.load();
    if (state != State::Running && state != State::Stalled) {
        return;
    }
    if (state == State::Running &&
        pa_rtclock_now() - capture->m_lastSoundUs > quint64{kSilentAfterMs} * 1000) {
        capture->setState(State::Stalled, CaptureFault::NoData);
    }
    ArmTimer(capture->m_context, capture->m_watch, kCaptureWatchMs, &CaptureStream::onWatch,
             capture);
}

void CaptureStream::setState(State state, CaptureFault fault) {
    // A failure stands until the owner stops or starts again.
    if (m_state.load() == State::Failed && state != State::Stopped && state != State::Connecting) {
        return;
    }
    m_fault = fault;
    if (m_state.exchange(state) != state) {
        QMetaObject::invokeMethod(this, &CaptureStream::stateChanged, Qt::QueuedConnection);
    }
}
