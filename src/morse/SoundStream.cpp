#include "morse/SoundStream.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include "morse/SoundServerProbe.h"
#include "morse/SoundTimeline.h"

namespace {
// Without an explicit size the sound server buffers about two seconds; a small buffer keeps
// the time between a call and its sound short. The sink tops it up every 20 ms.
constexpr int kBufferMs = 60;
constexpr int kWatchMs = 250;
constexpr int kRetryMs = 1000;
}  // namespace

SoundStream::SoundStream(QObject* parent) : QObject(parent) {
    m_sinceAdvance.start();
}

SoundStream::~SoundStream() = default;

SoundStream::Progress SoundStream::progress() const {
    QMutexLocker lock(&m_mutex);
    return {m_written, m_state, m_sinceAdvance.elapsed(), m_underruns};
}

void SoundStream::mix(qint64 position, const QVector<qint16>& samples) {
    QMutexLocker lock(&m_mutex);
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const qint64 index = position + i - m_written;
        if (index < 0) {
            continue;
        }
        if (index >= static_cast<qint64>(m_queue.size())) {
            m_queue.resize(index + 1, 0);
        }
        // Two tones closer than their edges overlap; their sum saturates rather than wraps.
        const int sum = m_queue[index] + samples[i];
        m_queue[index] = static_cast<qint16>(qBound(-32768, sum, 32767));
    }
}

void SoundStream::clear() {
    QMutexLocker lock(&m_mutex);
    m_queue.clear();
}

bool SoundStream::notifyAt(qint64 position) {
    QMutexLocker lock(&m_mutex);
    if (m_written >= position) {
        return true;
    }
    m_notifyAt = position;
    return false;
}

namespace {

// What the sink pulls from: never empty, so the sink never stops for want of data.
class PullDevice : public QIODevice {
  public:
    explicit PullDevice(SoundStream& stream) : QIODevice(&stream), m_stream(stream) {}
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 maxBytes) override { return m_stream.take(data, maxBytes); }
    qint64 writeData(const char* /*data*/, qint64 /*bytes*/) override { return -1; }

  private:
    SoundStream& m_stream;
};

}  // namespace

void SoundStream::open() {
    if (m_sink != nullptr) {
        return;
    }
    if (m_watchTimer == nullptr) {
        m_watchTimer = new QTimer(this);
        m_watchTimer->setInterval(kWatchMs);
        connect(m_watchTimer, &QTimer::timeout, this, &SoundStream::watch);
        m_retryTimer = new QTimer(this);
        m_retryTimer->setSingleShot(true);
        m_retryTimer->setInterval(kRetryMs);
        connect(m_retryTimer, &QTimer::timeout, this, &SoundStream::open);
    }
    if (!m_soundSystemStarted) {
        if (!SoundServerReachable()) {
            m_retryTimer->start();
            return;
        }
        m_soundSystemStarted = true;
    }
    // Empty while the sound system has lost its server; it tries to reach it again itself.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        m_retryTimer->start();
        return;
    }
    QAudioFormat format;
    format.setSampleRate(SoundTimeline::kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = new QAudioSink(device, format, this);
    m_sink->setBufferSize(format.bytesForDuration(kBufferMs * 1000));
    connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState && m_sink->error() == QAudio::UnderrunError) {
            QMutexLocker lock(&m_mutex);
            ++m_underruns;  // the server ran dry: an audible dropout
        }
        if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError) {
            fail();
        }
    });
    if (m_device == nullptr) {
        m_device = new PullDevice(*this);
        m_device->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    m_openedAt = progress().written;
    m_sink->start(m_device);
    if (m_sink == nullptr) {
        return;  // it failed at once, and fail() has run
    }
    if (m_sink->error() != QAudio::NoError) {
        fail();
        return;
    }
    m_watchTimer->start();
}

void SoundStream::close() {
    if (m_watchTimer != nullptr) {
        m_watchTimer->stop();
        m_retryTimer->stop();
    }
    if (m_sink != nullptr) {
        m_sink->disconnect(this);
        m_sink->stop();
        // Later: this may run inside one of the sink's own signals.
        m_sink->deleteLater();
        m_sink = nullptr;
    }
}

qint64 SoundStream::take(char* data, qint64 maxBytes) {
    const qint64 frames = maxBytes / qint64{sizeof(qint16)};
    auto* out = reinterpret_cast<qint16*>(data);
    bool reached = false;
    qint64 before = 0;
    {
        QMutexLocker lock(&m_mutex);
        const qint64 fromQueue = qMin<qint64>(frames, static_cast<qint64>(m_queue.size()));
        std::copy_n(m_queue.begin(), fromQueue, out);
        std::fill(out + fromQueue, out + frames, qint16{0});
        m_queue.erase(m_queue.begin(), m_queue.begin() + fromQueue);
        before = m_written;
        m_written += frames;
        m_sinceAdvance.restart();
        if (m_notifyAt >= 0 && m_written >= m_notifyAt) {
            m_notifyAt = -1;
            reached = true;
        }
    }
    // The first buffer's worth goes into an empty buffer; only more shows that the server
    // plays. (An idle server may first render ahead for a couple of seconds.)
    if (m_openedAt >= 0 && before > m_openedAt + SamplesAfterMs(kBufferMs)) {
        m_openedAt = -1;
        setState(State::Running);
    }
    if (m_reportedStall) {
        m_reportedStall = false;
        emit stateChanged();
    }
    if (reached) {
        emit positionReached();
    }
    return frames * qint64{sizeof(qint16)};
}

void SoundStream::watch() {
    // A frozen server asks for nothing: say so, so that an idle window shows it.
    const bool stalled = progress().msSinceAdvance > kStallMs;
    if (stalled != m_reportedStall) {
        m_reportedStall = stalled;
        emit stateChanged();
    }
}

void SoundStream::fail() {
    close();
    clear();
    setState(State::Failed);
    m_retryTimer->start();
}

void SoundStream::setState(State state) {
    {
        QMutexLocker lock(&m_mutex);
        if (m_state == state) {
            return;
        }
        m_state = state;
    }
    emit stateChanged();
}
