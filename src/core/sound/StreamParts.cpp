#include "core/sound/StreamParts.h"

#include "core/sound/SoundTimeline.h"

namespace {

constexpr int kPartsRate = SoundTimeline::kSampleRate;

uint32_t BytesFor(int ms) {
    return static_cast<uint32_t>(kPartsRate * 2 * ms / 1000);
}

}  // namespace

pa_stream* NewStream(pa_context* context, const char* name) {
    const pa_sample_spec format{PA_SAMPLE_S16LE, kPartsRate, 1};
    return pa_stream_new(context, name, &format, nullptr);
}

bool ConnectPlayback(pa_stream* stream, int holdMs, int requestMs, int startAfterMs) {
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.tlength = BytesFor(holdMs);
    attributes.minreq = BytesFor(requestMs);
    attributes.prebuf = BytesFor(startAfterMs);
    attributes.fragsize = static_cast<uint32_t>(-1);
    return pa_stream_connect_playback(stream, nullptr, &attributes, PA_STREAM_EARLY_REQUESTS,
                                      nullptr, nullptr) == 0;
}

bool StreamReady(pa_stream* stream) {
    return stream != nullptr && pa_stream_get_state(stream) == PA_STREAM_READY;
}

void RequestTiming(pa_stream* stream, bool& requested, pa_stream_success_cb_t done, void* self) {
    if (requested || !StreamReady(stream)) {
        return;
    }
    if (pa_operation* operation = pa_stream_update_timing_info(stream, done, self)) {
        requested = true;
        pa_operation_unref(operation);
    }
}

void ArmTimer(pa_context* context, pa_time_event*& event, int afterMs, pa_time_event_cb_t fire,
              void* self) {
    const pa_usec_t due = pa_rtclock_now() + static_cast<pa_usec_t>(afterMs) * 1000;
    if (event == nullptr) {
        event = pa_context_rttime_new(context, due, fire, self);
    } else {
        pa_context_rttime_restart(context, event, due);
    }
}

void ReleaseTimer(pa_threaded_mainloop* loop, pa_time_event*& event) {
    if (event != nullptr) {
        pa_threaded_mainloop_get_api(loop)->time_free(event);
        event = nullptr;
    }
}

void ReleaseStream(pa_stream*& stream) {
    if (stream == nullptr) {
        return;
    }
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream, nullptr, nullptr);
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
}

void ReleaseContext(pa_context*& context) {
    if (context == nullptr) {
        return;
    }
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    context = nullptr;
}
