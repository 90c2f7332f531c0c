#pragma once

#include <QVector>
#include <QtGlobal>
#include <mutex>
#include <vector>

#include "MonitorRecording.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_time_event;
struct pa_mainloop_api;
struct timeval;

// Records the null sink's monitor inside this process and knows, for every recorded sample, the
// moment of the monotonic clock at which the sink played it. The null sink plays on the
// monotonic clock, so sample i is played at origin + i / rate. The monitor hands samples over as
// the sink renders them, up to a device buffer before they play, so their arrival says little;
// the origin comes from the server's own account instead: every 100 ms the recorder asks where
// the sink is playing now (the stream's timing, which takes the sink's buffer off as every
// client's clock does), and the median of these answers around a moment gives the origin there.
// Its thread is the recorder's, not the program's: the CPU figures leave it out by its id.
class MonitorTap {
  public:
    static constexpr int kRate = 48000;

    MonitorTap() = default;
    ~MonitorTap();
    MonitorTap(const MonitorTap&) = delete;
    MonitorTap& operator=(const MonitorTap&) = delete;

    // Connects to the default server and records "nullsink.monitor" in pieces of about
    // fragmentMs. A piece that long asks the sink for no shorter a device buffer than the program
    // asks for itself, so the recorder does not make the program's sound look quicker than it is.
    bool start(int fragmentMs = 25);
    void stop();

    // The number of samples recorded so far (the index of the next one).
    qint64 recorded() const;
    // Samples [from, to) as a recording at kRate (clipped to what has been recorded).
    Recording samples(qint64 from, qint64 to) const;
    // Forgets the samples before the index (their timing is kept).
    void forgetBefore(qint64 index);
    // The monotonic ms at which the sample was played, and the sample played at a moment.
    double playedAtMs(double index) const;
    qint64 sampleAtMs(double monotonicMs) const;
    // How far the server's answers around the sample lie from their median (the 10th to the 90th
    // percentile, ms): how exactly a moment of the output is known.
    double originSpreadMs(qint64 index) const;
    // Pieces the server dropped (a recorder that fell behind by seconds): the timing is then off.
    bool overflowed() const { return m_overflowed; }
    qint64 threadId() const { return m_threadId; }

  private:
    static void onContext(pa_context* context, void* self);
    static void onStream(pa_stream* stream, void* self);
    static void onRead(pa_stream* stream, size_t bytes, void* self);
    static void onOverflow(pa_stream* stream, void* self);
    static void onTiming(pa_stream* stream, int success, void* self);
    static void onTick(pa_mainloop_api* api, pa_time_event* event, const struct timeval* time,
                       void* self);
    // The origins the server's answers within a few seconds of the sample give, sorted.
    std::vector<double> originsNear(qint64 index) const;
    void read();

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;

    mutable std::mutex m_mutex;
    std::vector<qint16> m_samples;  // from m_firstKept on
    qint64 m_firstKept = 0;
    qint64 m_count = 0;
    pa_time_event* m_tick = nullptr;
    // Each answer of the server: when it came (monotonic ms) and the origin it gives.
    struct Answer {
        double atMs;
        double originMs;
    };
    std::vector<Answer> m_answers;
    bool m_overflowed = false;
    qint64 m_threadId = 0;
};
