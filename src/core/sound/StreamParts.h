#pragma once

#include <pulse/pulseaudio.h>

// What the planned, the keyed and the recording stream do alike with the sound server; every call
// runs with the threaded main loop's lock held.

// A mono 16-bit stream at the timeline's rate; null when the server refuses it.
pa_stream* NewStream(pa_context* context, const char* name);
// Connects it for playback: the server holds holdMs of it, asks for more requestMs at a time
// (early requests: the device buffer is one request long, the rest waits in the server's buffer,
// where it can still be rewritten) and starts once it has startAfterMs.
bool ConnectPlayback(pa_stream* stream, int holdMs, int requestMs, int startAfterMs);
bool StreamReady(pa_stream* stream);
// Asks the server for a fresh timing report unless one is on its way.
void RequestTiming(pa_stream* stream, bool& requested, pa_stream_success_cb_t done, void* self);
// Starts the one-shot timer, or starts it again, to fire afterMs from now.
void ArmTimer(pa_context* context, pa_time_event*& event, int afterMs, pa_time_event_cb_t fire,
              void* self);
// Frees the timer and the stream (its callbacks first) if there are any.
void ReleaseTimer(pa_threaded_mainloop* loop, pa_time_event*& event);
void ReleaseStream(pa_stream*& stream);
// Disconnects the context (its state callback first) and frees it, if there is one.
void ReleaseContext(pa_context*& context);
