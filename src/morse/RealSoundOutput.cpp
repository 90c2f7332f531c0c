#include "morse/RealSoundOutput.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <cmath>

#include "morse/ToneShaper.h"

namespace {

constexpr int kLongestSoundedToneMs = 10 * 60 * 1000;

// Waves synthesised at another rate are brought to the stream's rate by linear interpolation.
QVector<qint16> Resampled(const QVector<qint16>& samples, int sampleRate) {
    if (sampleRate == SoundTimeline::kSampleRate || samples.isEmpty()) {
        return samples;
    }
    const qint64 count =
        static_cast<qint64>(samples.size()) * SoundTimeline::kSampleRate / sampleRate;
    QVector<qint16> out(count);
    const double step = static_cast<double>(sampleRate) / SoundTimeline::kSampleRate;
    for (qint64 i = 0; i < count; ++i) {
        const double at = i * step;
        const auto left = static_cast<qsizetype>(at);
        const qsizetype right = qMin(left + 1, samples.size() - 1);
        const double fraction = at - left;
        out[i] = static_cast<qint16>(
            std::lround(samples[left] * (1 - fraction) + samples[right] * fraction));
    }
    return out;
}

}  // namespace

RealSoundOutput::RealSoundOutput(Clock& clock, QObject* parent)
    : SoundOutput(parent),
      m_clock(clock),
      m_thread(new QThread),
      m_stream(new SoundStream),
      m_silentAnchorMs(clock.now()) {
    // Everything of the sound system is created on the sound thread: with a sound server
    // that does not answer, some of its calls block for half a minute.
    m_thread->setObjectName(QStringLiteral("sound"));
    m_idleCheck.setSingleShot(true);
    connect(&m_idleCheck, &QTimer::timeout, this, &RealSoundOutput::followStream);
    m_stream->moveToThread(m_thread);
    connect(m_thread, &QThread::started, m_stream, &SoundStream::open);
    connect(m_stream, &SoundStream::stateChanged, this, &RealSoundOutput::followStream);
    m_thread->start();
}

RealSoundOutput::~RealSoundOutput() {
    shutDown(100);
}

bool RealSoundOutput::shutDown(int timeoutMs) {
    if (m_thread == nullptr) {
        return true;
    }
    disconnect(m_stream, nullptr, this, nullptr);
    if (m_onStream) {
        m_onStream = false;
        emit soundOnChanged(false);
    }
    // The thread ends its own loop once the stream is closed, so nothing is left running there.
    QMetaObject::invokeMethod(
        m_stream,
        [stream = m_stream] {
            stream->close();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    const bool stopped = m_thread->wait(QDeadlineTimer(timeoutMs));
    if (stopped) {
        delete m_stream;
        delete m_thread;
    }
    // Otherwise the thread is inside a call to a sound server that does not answer, and no
    // sound call can be interrupted. Destroying a running QThread aborts the program and
    // waiting could take half a minute, so both are left behind (and the program ends
    // without running the library's clean-up, which might wait on that thread too).
    m_thread = nullptr;
    m_stream = nullptr;
    return stopped;
}

void RealSoundOutput::Beep(int frequencyHz, int durationMs) {
    if (durationMs <= 0 || m_clock.quitting() || m_clock.blockingInterrupted()) {
        return;
    }
    followStream();
    m_timeline.catchUp(writePosition());
    const qint64 start = m_timeline.addMs(durationMs);
    // Tones longer than any lesson uses keep their time but stay silent rather than take
    // gigabytes of samples.
    if (m_onStream && durationMs <= kLongestSoundedToneMs) {
        m_stream->mix(start - ToneShaper::kEdgeSamples / 2,
                      ToneShaper::ShapedTone(frequencyHz, m_timeline.end() - start,
                                             SoundTimeline::kSampleRate));
    }
    waitForPosition(m_timeline.returnPosition());
}

void RealSoundOutput::PlayWave(const QVector<qint16>& samples, int sampleRate) {
    if (samples.isEmpty() || sampleRate <= 0 || m_clock.quitting() ||
        m_clock.blockingInterrupted()) {
        return;
    }
    const QVector<qint16> atStreamRate = Resampled(samples, sampleRate);
    followStream();
    m_timeline.catchUp(writePosition());
    const qint64 start = m_timeline.addSamples(atStreamRate.size());
    if (m_onStream) {
        m_stream->mix(start, atStreamRate);
    }
    waitForPosition(m_timeline.returnPosition());
}

void RealSoundOutput::Gap(int ms) {
    if (ms <= 0 || m_clock.quitting()) {
        return;
    }
    followStream();
    m_timeline.catchUp(writePosition());
    m_timeline.addMs(ms);
    if (m_onStream) {
        // Like every wait of 1 ms or more, let pending events run at least once.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    waitForPosition(m_timeline.returnPosition());
}

int RealSoundOutput::underruns() const {
    return m_stream != nullptr ? m_stream->progress().underruns : 0;
}

bool RealSoundOutput::isHealthy(const SoundStream::Progress& progress) {
    return progress.state == SoundStream::State::Running &&
           progress.msSinceAdvance <= SoundStream::kStallMs;
}

void RealSoundOutput::followStream() {
    if (m_stream == nullptr) {
        return;
    }
    const SoundStream::Progress progress = m_stream->progress();
    if (m_onStream) {
        if (!isHealthy(progress)) {
            leaveStream(progress);
        }
        return;
    }
    if (!isHealthy(progress)) {
        return;
    }
    const qint64 busyMs = silentDeadline(m_timeline.end()) - m_clock.now();
    if (busyMs > 0) {
        // Switching in the middle would cut what is playing: wait until the timeline is idle.
        m_idleCheck.start(static_cast<int>(qMin<qint64>(busyMs, 1 << 30)));
        return;
    }
    m_onStream = true;
    m_timeline.restartAt(progress.written);
    emit soundOnChanged(true);
}

void RealSoundOutput::leaveStream(const SoundStream::Progress& progress) {
    m_onStream = false;
    m_stream->clear();
    // The silent timeline goes on from the last sample the stream took, at the stream's pace,
    // so that a call interrupted by a failure still ends on time.
    m_silentAnchorMs = m_clock.now() - progress.msSinceAdvance;
    m_silentAnchorSample = progress.written;
    emit soundOnChanged(false);
}

qint64 RealSoundOutput::writePosition() const {
    if (m_onStream) {
        return m_stream->progress().written;
    }
    return m_silentAnchorSample + SamplesAfterMs(m_clock.now() - m_silentAnchorMs);
}

qint64 RealSoundOutput::silentDeadline(qint64 position) const {
    return m_silentAnchorMs + MsToReachSamples(position - m_silentAnchorSample);
}

void RealSoundOutput::waitForPosition(qint64 position) {
    while (!m_clock.quitting()) {
        if (!m_onStream) {
            m_clock.waitUntil(silentDeadline(position));
            return;
        }
        const SoundStream::Progress progress = m_stream->progress();
        if (progress.written >= position) {
            return;
        }
        if (!isHealthy(progress)) {
            leaveStream(progress);
            continue;
        }
        waitOnStream(position);
    }
}

void RealSoundOutput::waitOnStream(qint64 position) {
    // Bounded by the stall time, so that a stream that stops is noticed.
    if (m_stream->notifyAt(position)) {
        return;
    }
    QEventLoop loop;
    QTimer stallCheck;
    stallCheck.setSingleShot(true);
    connect(&stallCheck, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(m_stream, &SoundStream::positionReached, &loop, &QEventLoop::quit);
    connect(&m_clock, &Clock::quitRequested, &loop, &QEventLoop::quit);
    stallCheck.start(SoundStream::kStallMs);
    // A loop that refuses to run means the application is already exiting.
    if (loop.exec() != 0) {
        m_clock.requestQuit();
    }
}
