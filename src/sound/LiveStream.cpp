#include "sound/LiveStream.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

#include "sound/PlannedStream.h"
#include "sound/ServerTiming.h"

namespace {

constexpr int kRate = SoundTimeline::kSampleRate;
// While the key is down: more tone for the server and a new timing this often.
constexpr int kTickMs = 10;
// Changes go at least this far beyond what the server has taken, for the time a rewrite takes to
// reach it and the error of the estimate. A rewrite that still lands late loses its first
// samples, so the level steps by what the edge had changed in them.
constexpr int kRewriteGuardMs = 3;

uint32_t BytesFor(int ms) {
    return static_cast<uint32_t>(kRate * 2 * ms / 1000);
}

}  // namespace

LiveStream::LiveStream(pa_threaded_mainloop* loop) : m_loop(loop) {}

LiveStream::~LiveStream() {
    detach();
}

bool LiveStream::attach(pa_context* context) {
    detach();
    m_context = context;
    const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
    m_stream = pa_stream_new(context, "Quillstart keying", &format, nullptr);
    if (m_stream == nullptr) {
        return false;
    }
    pa_stream_set_write_callback(m_stream, &LiveStream::onWrite, this);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.tlength = BytesFor(kAheadMs);
    // Early requests: the device buffer is one request long; the rest waits in the server's
    // buffer for this stream, where it can still be rewritten.
    attributes.minreq = BytesFor(kRequestMs);
    attributes.prebuf = BytesFor(1);
    attributes.fragsize = static_cast<uint32_t>(-1);
    return pa_stream_connect_playback(m_stream, nullptr, &attributes, PA_STREAM_EARLY_REQUESTS,
                                      nullptr, nullptr) == 0;
}

void LiveStream::detach() {
    if (m_tickEvent != nullptr) {
        pa_threaded_mainloop_get_api(m_loop)->time_free(m_tickEvent);
        m_tickEvent = nullptr;
    }
    m_ticking = false;
    if (m_stream != nullptr) {
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    m_context = nullptr;
    m_timingRequested = false;
    // A new server stream counts its samples from zero.
    m_tone = KeyedTone{};
    m_timingMs = -1;
    m_readAtTiming = 0;
}

bool LiveStream::isReady() const {
    return m_stream != nullptr && pa_stream_get_state(m_stream) == PA_STREAM_READY;
}

SoundPosition LiveStream::readNow() const {
    if (m_timingMs < 0) {
        return m_tone.written();
    }
    const auto elapsed = static_cast<qint64>((MonotonicMs() - m_timingMs) * kRate / 1000.0);
    return std::min(m_readAtTiming + elapsed, m_tone.written());
}

SoundPosition LiveStream::changeableNow() const {
    const SoundPosition read = readNow();
    if (read >= m_tone.written()) {
        // Run dry: the server starts afresh with whatever comes next.
        return read;
    }
    return read + SamplesAfterMs(kRewriteGuardMs);
}

void LiveStream::keyDown(int frequencyHz) {
    if (m_down.exchange(true)) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    if (isReady()) {
        const SoundPosition read = readNow();
        if (read >= m_tone.written()) {
            // The server plays what comes now at once: its reading starts over from here.
            m_timingMs = MonotonicMs();
            m_readAtTiming = read;
        }
        send(m_tone.press(frequencyHz, changeableNow(), read + SamplesAfterMs(kAheadMs)));
        requestTiming();
        armTick();
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void LiveStream::keyUp() {
    if (!m_down.exchange(false)) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    if (isReady()) {
        send(m_tone.release(changeableNow()));
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void LiveStream::topUp() {
    if (isReady() && m_tone.isDown()) {
        send(m_tone.topUp(readNow() + SamplesAfterMs(kAheadMs)));
    }
}

void LiveStream::send(const KeyedTone::Write& write) {
    if (write.samples.isEmpty()) {
        return;
    }
    // In place in the server's buffer: what it has not taken yet sounds as rewritten.
    pa_stream_write(m_stream, write.samples.constData(),
                    static_cast<size_t>(write.samples.size()) * 2, nullptr, write.at * 2,
                    PA_SEEK_ABSOLUTE);
}

void LiveStream::onWrite(pa_stream* /*stream*/, size_t /*bytes*/, void* self) {
    static_cast<LiveStream*>(self)->topUp();
}

void LiveStream::requestTiming() {
    if (m_timingRequested || !isReady()) {
        return;
    }
    if (pa_operation* operation =
            pa_stream_update_timing_info(m_stream, &LiveStream::onTiming, this)) {
        m_timingRequested = true;
        pa_operation_unref(operation);
    }
}

void LiveStream::onTiming(pa_stream* stream, int success, void* self) {
    auto* live = static_cast<LiveStream*>(self);
    live->m_timingRequested = false;
    const std::optional<ServerTiming> timing = TimingOf(stream, success);
    // One taken before the stream started afresh from silence tells of the silence.
    // Where the server read, without the request's way there: from a server slow to answer it
    // would place every change that much later, a release past the tone written ahead.
    if (timing && timing->monotonicMs >= live->m_timingMs) {
        live->m_timingMs = timing->monotonicMs;
        live->m_readAtTiming = timing->readSamples;
    }
}

void LiveStream::armTick() {
    if (m_ticking || m_context == nullptr) {
        return;
    }
    m_ticking = true;
    const pa_usec_t due = pa_rtclock_now() + static_cast<pa_usec_t>(kTickMs) * 1000;
    if (m_tickEvent == nullptr) {
        m_tickEvent = pa_context_rttime_new(m_context, due, &LiveStream::onTick, this);
    } else {
        pa_context_rttime_restart(m_context, m_tickEvent, due);
    }
}

void LiveStream::onTick(pa_mainloop_api* /*api*/, pa_time_event* /*event*/,
                        const struct timeval* /*time*/, void* self) {
    auto* live = static_cast<LiveStream*>(self);
    live->m_ticking = false;
    if (!live->m_tone.isDown() || !live->isReady()) {
        return;
    }
    live->topUp();
    live->requestTiming();
    live->armTick();
}
