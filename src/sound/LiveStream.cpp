#include "sound/LiveStream.h"

#include <pulse/pulseaudio.h>

#include <QMutexLocker>
#include <cmath>

#include "sound/SoundTimeline.h"
#include "sound/ToneShaper.h"

namespace {

constexpr int kRate = SoundTimeline::kSampleRate;
constexpr int kEdge = ToneShaper::kEdgeSamples;

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
    const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 1};
    m_stream = pa_stream_new(context, "Quillstart keying", &spec, nullptr);
    if (m_stream == nullptr) {
        return false;
    }
    pa_stream_set_write_callback(m_stream, &LiveStream::onWrite, this);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.tlength = BytesFor(kBufferMs);
    attributes.minreq = BytesFor(kRequestMs);
    attributes.prebuf = BytesFor(1);
    attributes.fragsize = static_cast<uint32_t>(-1);
    return pa_stream_connect_playback(m_stream, nullptr, &attributes, PA_STREAM_EARLY_REQUESTS,
                                      nullptr, nullptr) == 0;
}

void LiveStream::detach() {
    if (m_stream != nullptr) {
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    QMutexLocker lock(&m_mutex);
    m_phase = Phase::Silent;
}

bool LiveStream::isReady() const {
    return m_stream != nullptr && pa_stream_get_state(m_stream) == PA_STREAM_READY;
}

void LiveStream::onWrite(pa_stream* /*stream*/, size_t bytes, void* self) {
    static_cast<LiveStream*>(self)->feed(bytes);
}

void LiveStream::keyDown(int frequencyHz) {
    if (m_down.exchange(true)) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    {
        QMutexLocker lock(&m_mutex);
        m_step = 2 * M_PI * qBound(0, frequencyHz, kRate / 2 - 1) / kRate;
        if (m_phase != Phase::Steady) {
            // From wherever a falling edge had got to, so the level never jumps.
            m_edgeSample = m_phase == Phase::Falling ? kEdge - m_edgeSample : 0;
            m_phase = Phase::Rising;
        }
    }
    // The stream ran dry while the key was up: what is written now plays at once.
    if (isReady()) {
        feed(pa_stream_writable_size(m_stream));
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void LiveStream::keyUp() {
    if (!m_down.exchange(false)) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    {
        QMutexLocker lock(&m_mutex);
        if (m_phase == Phase::Rising) {
            m_edgeSample = kEdge - m_edgeSample;
        } else {
            m_edgeSample = 0;
        }
        m_phase = m_phase == Phase::Silent ? Phase::Silent : Phase::Falling;
    }
    if (isReady()) {
        feed(pa_stream_writable_size(m_stream));
    }
    pa_threaded_mainloop_unlock(m_loop);
}

QVector<qint16> LiveStream::render(qsizetype count) {
    QVector<qint16> out;
    out.reserve(count);
    while (out.size() < count && m_phase != Phase::Silent) {
        double level = 1.0;
        if (m_phase == Phase::Rising || m_phase == Phase::Falling) {
            const double rise =
                0.5 - 0.5 * std::cos(M_PI * static_cast<double>(m_edgeSample) / kEdge);
            level = m_phase == Phase::Rising ? rise : 1.0 - rise;
            if (++m_edgeSample >= kEdge) {
                m_phase = m_phase == Phase::Rising ? Phase::Steady : Phase::Silent;
                m_edgeSample = 0;
            }
        }
        out.append(
            static_cast<qint16>(std::lround(ToneShaper::kAmplitude * level * std::sin(m_angle))));
        m_angle = std::fmod(m_angle + m_step, 2 * M_PI);
    }
    return out;
}

void LiveStream::feed(size_t maxBytes) {
    if (!isReady()) {
        return;
    }
    QVector<qint16> chunk;
    {
        QMutexLocker lock(&m_mutex);
        chunk = render(static_cast<qsizetype>(maxBytes / sizeof(qint16)));
    }
    if (!chunk.isEmpty()) {
        pa_stream_write(m_stream, chunk.constData(), static_cast<size_t>(chunk.size()) * 2, nullptr,
                        0, PA_SEEK_RELATIVE);
    }
}
