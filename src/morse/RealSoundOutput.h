#pragma once

#include <QTimer>

#include "common/Clock.h"
#include "morse/SoundOutput.h"
#include "morse/SoundStream.h"
#include "morse/SoundTimeline.h"

class QThread;

// The program's sound: tones, waves and the generators' gaps are samples on one timeline,
// played by a stream on the sound thread. A call queues its samples and returns, events
// running meanwhile, when little more than the lead is left to write, so consecutive
// elements and gaps join exactly, whatever the load. While no stream runs (no sound server yet,
// none at all, or one that died or froze) the same timeline runs silently on the clock.
class RealSoundOutput : public SoundOutput {
    Q_OBJECT
  public:
    explicit RealSoundOutput(Clock& clock, QObject* parent = nullptr);
    ~RealSoundOutput() override;

    void Beep(int frequencyHz, int durationMs) override;
    void PlayWave(const QVector<qint16>& samples, int sampleRate) override;
    void Gap(int ms) override;
    bool isSoundOn() const override { return m_onStream; }
    // How often the sound server ran out of samples (a dropout), for the benchmark.
    int underruns() const;

    // Stops the sound thread, waiting at most timeoutMs. False when it is stuck in a call
    // to a sound server that does not answer; it is then left running (see the .cpp).
    bool shutDown(int timeoutMs);

  private:
    void followStream();
    void leaveStream(const SoundStream::Progress& progress);
    qint64 writePosition() const;
    void waitForPosition(qint64 position);
    void waitOnStream(qint64 position);
    qint64 silentDeadline(qint64 position) const;
    static bool isHealthy(const SoundStream::Progress& progress);

    Clock& m_clock;
    QThread* m_thread;
    SoundStream* m_stream;
    SoundTimeline m_timeline;
    bool m_onStream = false;
    QTimer m_idleCheck;  // looks again for the stream once the timeline is idle
    // The silent timeline: sample m_silentAnchorSample falls on m_silentAnchorMs.
    qint64 m_silentAnchorMs = 0;
    qint64 m_silentAnchorSample = 0;
};
