#include "core/sound/LiveStream.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

#include "core/sound/PlannedStream.h"
#include "core/sound/ServerTiming.h"
#include "core/sound/StreamParts.h"

namespace {

constexpr int kLiveRate = SoundTimeline::kSampleRate;
// While the key is down: more tone for the server and a new timing this often.
constexpr int kLiveTickMs = 10;

}  // namespace

LiveStream::LiveStream(pa_threaded_mainloop* loop) : m_loop(loop) {}

LiveStream::~LiveStream() {
    detach();
}

bool LiveStream::attach(pa_context* context) {
    detach();
    m_context = context;
    m_stream = NewStream(context, "Quillstart keying");
    if (m_stream == nullptr) {
        return false;
    }
    pa_stream_set_write_callback(m_stream, &LiveStream::onWrite, this);
    return ConnectPlayback(m_stream, kAheadMs, kRequestMs, 1);
}

void LiveStream::detach() {
    ReleaseTimer(m_loop, m_tickEvent);
    m_ticking = false;
    ReleaseStream(m_stream);
    m_context = nullptr;
    m_timingRequested = false;
    // A new server stream counts its samples from zero.
    m_tone = KeyedTone{};
    m_timingMs = -1;
    m_readAtTiming = 0;
}

bool LiveStream::isReady() const {
    return StreamReady(m_stream);
}

SoundPosition LiveStream::readNow() const {
    if (m_timingMs < 0) {
        return m_tone.written();
    }
    const auto elapsed = static_cast<qint64>((MonotonicMs() - m_timingMs) * kLiveRate / 1000.0);
    return std::min(m_readAtTiming + elapsed, m_tone.written());
}

void LiveStream::keyDown(int frequencyHz) {
    if (m_down.exchange(true)) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    m_pressedMs = MonotonicMs();
    if (isReady()) {
        const SoundPosition read = readNow();
        if (read >= m_tone.written()) {
            // The server plays what comes now at once: its reading starts over from here.
            m_timingMs = MonotonicMs();
            m_readAtTiming = read;
        }
        send(m_tone.press(frequencyHz, read, read + SamplesAfterMs(kAheadMs)));
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
        const auto held =
            static_cast<SoundPosition>((MonotonicMs() - m_pressedMs) * kLiveRate / 1000.0);
        send(m_tone.release(readNow(), held));
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
    RequestTiming(m_stream, m_timingRequested, &LiveStream::onTiming, this);
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
    ArmTimer(m_context, m_tickEvent, kLiveTickMs, &LiveStream::onTick, this);
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
