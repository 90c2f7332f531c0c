#include "core/sound/PlannedStream.h"

#include <pulse/pulseaudio.h>

#include <QMutexLocker>
#include <algorithm>
#include <cmath>
#include <ctime>

#include "core/sound/ServerTiming.h"
#include "core/sound/StreamParts.h"
#include "core/sound/ToneShaper.h"

namespace {

constexpr int kPlannedRate = SoundTimeline::kSampleRate;
constexpr int kPlannedTickMs = 20;
// What the server is asked to keep before it starts again after running dry.
constexpr int kStartAfterMs = 5;
// Changes are made at least this far beyond what the device has taken, for the time a rewrite
// takes to reach the server: on a loaded machine the writing thread may wait several ms for a
// processor, and a tone written into sound already taken would lose its start.
constexpr int kRewriteGuardMs = 12;
// Without news from the server for this long while sound is due, it counts as stuck. A server
// starved on a loaded desktop can be silent for several hundred ms and then go on; leaving it for
// the silent timeline then would turn a short hole into lost sound and a slip.
constexpr int kStaleAfterMs = 1500;
// Silence played as the stream opens: a device that was idle long renders far ahead, and lowers
// its buffer to this stream's wish only once the stream plays.
constexpr int kPrimeMs = 50;

double ClockMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void Add(qint16& into, qint16 sample) {
    into = static_cast<qint16>(qBound(-32768, into + sample, 32767));
}

}  // namespace

double MonotonicMs() {
    return ClockMs(CLOCK_MONOTONIC);
}

PlannedStream::PlannedStream(pa_threaded_mainloop* loop) : m_loop(loop) {}

PlannedStream::~PlannedStream() {
    detach();
}

void PlannedStream::detach() {
    if (m_tickEvent != nullptr) {
        ReleaseTimer(m_loop, m_tickEvent);
        m_ticking = false;
    }
    ReleaseStream(m_stream);
    m_context = nullptr;
    m_corked = false;
    m_timingRequested = false;
    m_primed = false;
    m_latencyKnown = false;
    QMutexLocker lock(&m_mutex);
    m_queue.clear();
    m_history.clear();
    m_historyStart = m_written;
    m_base = m_written;
    m_readAtTiming = m_written;
    m_timingMs = -1;
}

bool PlannedStream::attach(pa_context* context, StateCallback onState, void* userdata) {
    detach();
    m_context = context;
    m_stream = NewStream(m_context, "Quillstart");
    if (m_stream == nullptr) {
        return false;
    }
    pa_stream_set_state_callback(m_stream, onState, userdata);
    pa_stream_set_write_callback(m_stream, &PlannedStream::onWrite, this);
    pa_stream_set_underflow_callback(m_stream, &PlannedStream::onUnderflow, this);
    return ConnectPlayback(m_stream, kServerBufferMs, kRequestMs, kStartAfterMs);
}

bool PlannedStream::isReady() const {
    return StreamReady(m_stream);
}

bool PlannedStream::hasFailed() const {
    return m_stream == nullptr || !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream));
}

void PlannedStream::onWrite(pa_stream* /*stream*/, size_t bytes, void* self) {
    auto* planned = static_cast<PlannedStream*>(self);
    if (!planned->m_primed) {
        planned->m_primed = true;
        {
            QMutexLocker lock(&planned->m_mutex);
            planned->m_queue.resize(
                std::max<size_t>(planned->m_queue.size(), SamplesAfterMs(kPrimeMs)), 0);
        }
        planned->requestTiming();
        planned->armTick();
    }
    planned->writeQueued(bytes);
}

void PlannedStream::onUnderflow(pa_stream* /*stream*/, void* self) {
    auto* planned = static_cast<PlannedStream*>(self);
    QMutexLocker lock(&planned->m_mutex);
    // Running dry at the end of what was planned is silence as planned; with sound still waiting
    // here it is a hole.
    if (!planned->m_queue.empty()) {
        ++planned->m_underruns;
    }
}

void PlannedStream::writeQueued(size_t maxBytes) {
    if (!isReady()) {
        return;
    }
    QVector<qint16> chunk;
    {
        QMutexLocker lock(&m_mutex);
        const auto count =
            static_cast<qsizetype>(std::min<size_t>(maxBytes / sizeof(qint16), m_queue.size()));
        if (count == 0) {
            return;
        }
        chunk = QVector<qint16>(m_queue.begin(), m_queue.begin() + count);
        m_queue.erase(m_queue.begin(), m_queue.begin() + count);
        m_history.insert(m_history.end(), chunk.cbegin(), chunk.cend());
        m_written += count;
    }
    pa_stream_write(m_stream, chunk.constData(), static_cast<size_t>(chunk.size()) * 2, nullptr, 0,
                    PA_SEEK_RELATIVE);
}

void PlannedStream::rewrite(SoundPosition from, const QVector<qint16>& samples) {
    // In place in the server's buffer: what the device has not taken yet sounds as rewritten.
    pa_stream_write(m_stream, samples.constData(), static_cast<size_t>(samples.size()) * 2, nullptr,
                    (from - m_base) * 2, PA_SEEK_ABSOLUTE);
}

SoundPosition PlannedStream::heardAt(double monotonicMs) const {
    if (m_timingMs < 0) {
        return std::min(m_written, m_readAtTiming);
    }
    const auto read =
        m_readAtTiming + static_cast<qint64>((monotonicMs - m_timingMs) * kPlannedRate / 1000.0);
    return std::min(read - m_latencySamples, m_written);
}

SoundPosition PlannedStream::earliestChangeable(SoundPosition heard) const {
    return heard + m_latencySamples + SamplesAfterMs(kRewriteGuardMs);
}

PlannedStream::Progress PlannedStream::progress() const {
    const double now = MonotonicMs();
    QMutexLocker lock(&m_mutex);
    const SoundPosition heard = heardAt(now);
    const bool soundDue = !m_queue.empty() || heard < m_written;
    const bool fresh =
        !soundDue || m_corked || (m_timingMs >= 0 && now - m_timingMs < kStaleAfterMs);
    return {m_written, heard, earliestChangeable(heard), fresh,
            m_latencyKnown ? m_latencySamples : -1};
}

int PlannedStream::underruns() const {
    QMutexLocker lock(&m_mutex);
    return m_underruns;
}

void PlannedStream::trimHistory(SoundPosition heard) {
    const qint64 drop =
        std::min<qint64>(heard - m_historyStart, static_cast<qint64>(m_history.size()));
    if (drop > 0) {
        m_history.erase(m_history.begin(), m_history.begin() + drop);
        m_historyStart += drop;
    }
}

void PlannedStream::mix(SoundPosition position, const QVector<qint16>& samples) {
    pa_threaded_mainloop_lock(m_loop);
    {
        QMutexLocker lock(&m_mutex);
        const double now = MonotonicMs();
        const bool drained = heardAt(now) >= m_written && m_queue.empty();
        trimHistory(std::min(heardAt(now), m_written));
        qsizetype i = 0;
        // The part that lands in what the server holds already is mixed there and rewritten.
        const SoundPosition firstKept = std::max(position, m_historyStart);
        i = static_cast<qsizetype>(firstKept - position);
        if (firstKept < m_written && i < samples.size() && isReady()) {
            const auto count =
                static_cast<qsizetype>(std::min<qint64>(m_written - firstKept, samples.size() - i));
            QVector<qint16> region(count);
            for (qsizetype k = 0; k < count; ++k) {
                qint16& held = m_history[static_cast<size_t>(firstKept - m_historyStart + k)];
                Add(held, samples[i + k]);
                region[k] = held;
            }
            rewrite(firstKept, region);
            i += count;
        }
        // The rest waits in the queue, which starts at what is written next.
        for (; i < samples.size(); ++i) {
            const qint64 index = position + i - m_written;
            if (index < 0) {
                continue;
            }
            if (index >= static_cast<qint64>(m_queue.size())) {
                m_queue.resize(static_cast<size_t>(index) + 1, 0);
            }
            Add(m_queue[static_cast<size_t>(index)], samples[i]);
        }
        if (drained) {
            // After silence the server starts afresh: the old timing says nothing of it.
            m_timingMs = now;
            m_readAtTiming = m_written;
        }
        m_idleSinceMs = -1;
    }
    uncork();
    if (isReady()) {
        writeQueued(pa_stream_writable_size(m_stream));
        requestTiming();
        armTick();
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void PlannedStream::armTick() {
    if (m_ticking) {
        return;
    }
    m_ticking = true;
    ArmTimer(m_context, m_tickEvent, kPlannedTickMs, &PlannedStream::onTick, this);
}

void PlannedStream::onTick(pa_mainloop_api* /*api*/, pa_time_event* /*event*/,
                           const struct timeval* /*time*/, void* self) {
    auto* planned = static_cast<PlannedStream*>(self);
    planned->m_ticking = false;
    if (planned->tick()) {
        planned->armTick();
    }
}

void PlannedStream::extendTo(SoundPosition end) {
    mix(end - 1, QVector<qint16>(1, 0));
}

void PlannedStream::discardFrom(SoundPosition position) {
    pa_threaded_mainloop_lock(m_loop);
    {
        QMutexLocker lock(&m_mutex);
        if (position >= m_written) {
            const qint64 keep = position - m_written;
            if (keep < static_cast<qint64>(m_queue.size())) {
                m_queue.resize(static_cast<size_t>(keep));
            }
        } else {
            m_queue.clear();
            const SoundPosition from = std::max(position, m_historyStart);
            const auto count = static_cast<qsizetype>(m_written - from);
            // Faded out over an edge's length, then silence, so the cut does not click.
            QVector<qint16> region(count, 0);
            const auto offset = static_cast<size_t>(from - m_historyStart);
            for (qsizetype k = 0; k < std::min<qsizetype>(count, ToneShaper::kEdgeSamples); ++k) {
                const double gain =
                    0.5 + 0.5 * std::cos(M_PI * static_cast<double>(k) / ToneShaper::kEdgeSamples);
                region[k] = static_cast<qint16>(
                    std::lround(m_history[offset + static_cast<size_t>(k)] * gain));
            }
            std::copy(region.cbegin(), region.cend(),
                      m_history.begin() + static_cast<qsizetype>(offset));
            if (count > 0 && isReady()) {
                rewrite(from, region);
            }
        }
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void PlannedStream::requestTiming() {
    RequestTiming(m_stream, m_timingRequested, &PlannedStream::onTiming, this);
}

void PlannedStream::onTiming(pa_stream* stream, int success, void* self) {
    auto* planned = static_cast<PlannedStream*>(self);
    planned->m_timingRequested = false;
    const std::optional<ServerTiming> timing = TimingOf(stream, success);
    if (!timing) {
        return;
    }
    QMutexLocker lock(&planned->m_mutex);
    planned->m_timingMs = timing->monotonicMs;
    planned->m_readAtTiming = planned->m_base + timing->readSamples + timing->transportSamples;
    planned->m_latencySamples = timing->latencySamples;
    planned->m_latencyKnown = true;
}

void PlannedStream::uncork() {
    if (m_corked && isReady()) {
        m_corked = false;
        if (pa_operation* operation = pa_stream_cork(m_stream, 0, nullptr, nullptr)) {
            pa_operation_unref(operation);
        }
    }
}

bool PlannedStream::tick() {
    if (!isReady()) {
        return false;
    }
    writeQueued(pa_stream_writable_size(m_stream));
    const double now = MonotonicMs();
    bool idle = false;
    {
        QMutexLocker lock(&m_mutex);
        const SoundPosition heard = heardAt(now);
        trimHistory(std::min(heard, m_written));
        idle = m_queue.empty() && heard >= m_written;
        if (!idle) {
            m_idleSinceMs = -1;
        } else if (m_idleSinceMs < 0) {
            m_idleSinceMs = now;
        }
    }
    if (!idle) {
        requestTiming();
    } else if (!m_corked && now - m_idleSinceMs >= kCorkAfterMs) {
        m_corked = true;
        if (pa_operation* operation = pa_stream_cork(m_stream, 1, nullptr, nullptr)) {
            pa_operation_unref(operation);
        }
    }
    return !m_corked;
}
