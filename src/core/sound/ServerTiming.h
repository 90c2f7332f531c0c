#pragma once

#include <QtGlobal>
#include <optional>

struct pa_stream;

// Where the sound server read a stream at a moment of the monotonic clock, from the timing it
// last reported: the first sample (counted from the stream's own first) it had not taken yet,
// the device buffer behind it, and how long the request took to reach the server (a server slow
// to answer makes it long). Empty when the report failed or is unusable.
struct ServerTiming {
    double monotonicMs = 0;
    qint64 readSamples = 0;
    qint64 latencySamples = 0;
    qint64 transportSamples = 0;
};

std::optional<ServerTiming> TimingOf(pa_stream* stream, int success);
