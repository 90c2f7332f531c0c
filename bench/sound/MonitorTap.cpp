#include "MonitorTap.h"

#include <pulse/pulseaudio.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "core/sound/PlannedStream.h"

namespace {

constexpr int kConnectTimeoutMs = 5000;
constexpr pa_usec_t kAskEveryUsec = 100 * 1000;
// Answers further than this from a moment say nothing of it (the sink may have been rewound).
constexpr double kNearMs = 5000;

double RealtimeMs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

template <typename Ready>
bool WaitLocked(pa_threaded_mainloop* loop, double deadline, Ready ready) {
    while (MonotonicMs() < deadline) {
        const int state = ready();
        if (state != 0) {
            return state > 0;
        }
        pa_threaded_mainloop_wait(loop);
    }
    return false;
}

}  // namespace

MonitorTap::~MonitorTap() {
    stop();
}

bool MonitorTap::start(int fragmentMs) {
    m_loop = pa_threaded_mainloop_new();
    if (m_loop == nullptr) {
        return false;
    }
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "monitor tap");
    pa_context_set_state_callback(m_context, &MonitorTap::onContext, this);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return false;
    }
    pa_threaded_mainloop_lock(m_loop);
    pa_threaded_mainloop_start(m_loop);
    const double deadline = MonotonicMs() + kConnectTimeoutMs;
    bool ready = WaitLocked(m_loop, deadline, [this] {
        const pa_context_state_t state = pa_context_get_state(m_context);
        return state == PA_CONTEXT_READY ? 1 : PA_CONTEXT_IS_GOOD(state) ? 0 : -1;
    });
    if (ready) {
        const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
        m_stream = pa_stream_new(m_context, "monitor tap", &format, nullptr);
        pa_stream_set_state_callback(m_stream, &MonitorTap::onStream, this);
        pa_stream_set_read_callback(m_stream, &MonitorTap::onRead, this);
        pa_stream_set_overflow_callback(m_stream, &MonitorTap::onOverflow, this);
        pa_buffer_attr attributes;
        std::memset(&attributes, 0xff, sizeof attributes);
        attributes.fragsize = static_cast<uint32_t>(kRate * 2 * fragmentMs / 1000);
        pa_stream_connect_record(m_stream, "nullsink.monitor", &attributes,
                                 PA_STREAM_ADJUST_LATENCY);
        ready = WaitLocked(m_loop, deadline, [this] {
            const pa_stream_state_t state = pa_stream_get_state(m_stream);
            return state == PA_STREAM_READY ? 1 : PA_STREAM_IS_GOOD(state) ? 0 : -1;
        });
    }
    if (ready) {
        m_tick = pa_context_rttime_new(m_context, pa_rtclock_now() + kAskEveryUsec,
                                       &MonitorTap::onTick, this);
    }
    pa_threaded_mainloop_unlock(m_loop);
    return ready;
}

void MonitorTap::stop() {
    if (m_loop == nullptr) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    if (m_tick != nullptr) {
        pa_threaded_mainloop_get_api(m_loop)->time_free(m_tick);
        m_tick = nullptr;
    }
    if (m_stream != nullptr) {
        pa_stream_set_read_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context != nullptr) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

void MonitorTap::onContext(pa_context* /*context*/, void* self) {
    pa_threaded_mainloop_signal(static_cast<MonitorTap*>(self)->m_loop, 0);
}

void MonitorTap::onStream(pa_stream* /*stream*/, void* self) {
    pa_threaded_mainloop_signal(static_cast<MonitorTap*>(self)->m_loop, 0);
}

void MonitorTap::onOverflow(pa_stream* /*stream*/, void* self) {
    auto* tap = static_cast<MonitorTap*>(self);
    std::lock_guard lock(tap->m_mutex);
    tap->m_overflowed = true;
}

void MonitorTap::onTick(pa_mainloop_api* /*api*/, pa_time_event* event,
                        const struct timeval* /*time*/, void* self) {
    auto* tap = static_cast<MonitorTap*>(self);
    if (pa_operation* asked =
            pa_stream_update_timing_info(tap->m_stream, &MonitorTap::onTiming, tap)) {
        pa_operation_unref(asked);
    }
    pa_context_rttime_restart(tap->m_context, event, pa_rtclock_now() + kAskEveryUsec);
}

void MonitorTap::onTiming(pa_stream* stream, int success, void* self) {
    auto* tap = static_cast<MonitorTap*>(self);
    const pa_timing_info* timing = success ? pa_stream_get_timing_info(stream) : nullptr;
    if (timing == nullptr || timing->write_index_corrupt) {
        return;
    }
    // The server's timestamp is on the wall clock.
    const double stampMs = static_cast<double>(timing->timestamp.tv_sec) * 1e3 +
                           static_cast<double>(timing->timestamp.tv_usec) / 1e3;
    const double monotonicStamp = MonotonicMs() - (RealtimeMs() - stampMs);
    // Where the monitor captures at that moment, as the client library reckons a record
    // stream's time: what the server has taken in, plus the transport and the source's buffer,
    // less the sink's buffer (a monitor hears the sink's samples as it renders them).
    const double playingMs = static_cast<double>(timing->write_index / 2) * 1000.0 / kRate +
                             static_cast<double>(timing->transport_usec) / 1e3 +
                             static_cast<double>(timing->source_usec) / 1e3 -
                             static_cast<double>(timing->sink_usec) / 1e3;
    std::lock_guard lock(tap->m_mutex);
    tap->m_answers.push_back({monotonicStamp, monotonicStamp - playingMs});
}

void MonitorTap::onRead(pa_stream* /*stream*/, size_t /*bytes*/, void* self) {
    static_cast<MonitorTap*>(self)->read();
}

void MonitorTap::read() {
    std::lock_guard lock(m_mutex);
    if (m_threadId == 0) {
        m_threadId = static_cast<qint64>(syscall(SYS_gettid));
    }
    while (pa_stream_readable_size(m_stream) > 0) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(m_stream, &data, &bytes) < 0 || bytes == 0) {
            break;
        }
        const auto count = static_cast<qint64>(bytes / sizeof(qint16));
        if (data != nullptr) {
            const auto* first = static_cast<const qint16*>(data);
            m_samples.insert(m_samples.end(), first, first + count);
        } else {
            m_samples.insert(m_samples.end(), static_cast<size_t>(count), 0);  // a hole
        }
        m_count += count;
        pa_stream_drop(m_stream);
    }
}

qint64 MonitorTap::recorded() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

Recording MonitorTap::samples(qint64 from, qint64 to) const {
    std::lock_guard lock(m_mutex);
    Recording out;
    out.sampleRate = kRate;
    from = std::max(from, m_firstKept);
    to = std::min(to, m_count);
    if (to > from) {
        out.samples = QVector<qint16>(m_samples.begin() + (from - m_firstKept),
                                      m_samples.begin() + (to - m_firstKept));
    }
    return out;
}

void MonitorTap::forgetBefore(qint64 index) {
    std::lock_guard lock(m_mutex);
    const qint64 drop = std::clamp<qint64>(index - m_firstKept, 0, m_count - m_firstKept);
    m_samples.erase(m_samples.begin(), m_samples.begin() + drop);
    m_firstKept += drop;
}

std::vector<double> MonitorTap::originsNear(qint64 index) const {
    std::vector<double> near;
    if (m_answers.empty()) {
        return near;
    }
    // Roughly when the sample played, from the latest answer.
    const double approximateMs = m_answers.back().originMs + index * 1000.0 / kRate;
    for (const Answer& answer : m_answers) {
        if (std::abs(answer.atMs - approximateMs) <= kNearMs) {
            near.push_back(answer.originMs);
        }
    }
    if (near.empty()) {
        for (const Answer& answer : m_answers) {
            near.push_back(answer.originMs);
        }
    }
    std::sort(near.begin(), near.end());
    return near;
}

double MonitorTap::playedAtMs(double index) const {
    std::lock_guard lock(m_mutex);
    const std::vector<double> near = originsNear(static_cast<qint64>(index));
    const double origin = near.empty() ? 0 : near[near.size() / 2];
    return origin + index * 1000.0 / kRate;
}

qint64 MonitorTap::sampleAtMs(double monotonicMs) const {
    std::lock_guard lock(m_mutex);
    if (m_answers.empty()) {
        return 0;
    }
    const double approximate = (monotonicMs - m_answers.back().originMs) * kRate / 1000.0;
    const std::vector<double> near = originsNear(static_cast<qint64>(approximate));
    return static_cast<qint64>((monotonicMs - near[near.size() / 2]) * kRate / 1000.0);
}

double MonitorTap::originSpreadMs(qint64 index) const {
    std::lock_guard lock(m_mutex);
    const std::vector<double> near = originsNear(index);
    if (near.size() < 2) {
        return 0;
    }
    return near[near.size() * 9 / 10] - near[near.size() / 10];
}
