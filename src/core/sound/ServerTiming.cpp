#include "core/sound/ServerTiming.h"

#include <pulse/pulseaudio.h>

#include "core/sound/PlannedStream.h"

namespace {

qint64 SamplesIn(pa_usec_t usec) {
    return static_cast<qint64>(usec) * SoundTimeline::kSampleRate / 1000000;
}

}  // namespace

std::optional<ServerTiming> TimingOf(pa_stream* stream, int success) {
    const pa_timing_info* timing = success ? pa_stream_get_timing_info(stream) : nullptr;
    if (timing == nullptr || timing->read_index_corrupt) {
        return std::nullopt;
    }
    // The server's timestamp is on the wall clock; the program waits on the monotonic one.
    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    const double wallMs =
        static_cast<double>(wall.tv_sec) * 1e3 + static_cast<double>(wall.tv_nsec) / 1e6;
    const double stampMs = static_cast<double>(timing->timestamp.tv_sec) * 1e3 +
                           static_cast<double>(timing->timestamp.tv_usec) / 1e3;
    return ServerTiming{MonotonicMs() - (wallMs - stampMs), timing->read_index / 2,
                        SamplesIn(timing->sink_usec), SamplesIn(timing->transport_usec)};
}
