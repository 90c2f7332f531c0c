#pragma once

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QVector>
#include <deque>

class QAudioSink;
class QIODevice;
class QTimer;

// The output stream, owned by the sound thread: it opens the desktop's default output there,
// and the sink pulls from a queue of samples, getting silence whenever the queue is empty, so
// the stream never stops and every sample keeps its place on one timeline.
// The public functions marked "any thread" are the only ones the GUI thread calls; they never
// touch the sound system, which can hang for many seconds.
class SoundStream : public QObject {
    Q_OBJECT
  public:
    enum class State { Opening, Running, Failed };
    struct Progress {
        qint64 written = 0;  // samples handed to the sink, over every stream opened
        State state = State::Opening;
        qint64 msSinceAdvance = 0;  // how long `written` has stood still
        int underruns = 0;          // times the server ran out of samples
    };

    explicit SoundStream(QObject* parent = nullptr);
    ~SoundStream() override;

    // Any thread.
    Progress progress() const;
    // Adds samples into the queue so that the first one is written at the given position;
    // what falls before the write position is already too late and dropped.
    void mix(qint64 position, const QVector<qint16>& samples);
    void clear();
    // Emits positionReached once `written` has reached position (for waits that run events).
    // Returns true when it has been reached already (and nothing will be emitted).
    bool notifyAt(qint64 position);

    // How long `written` may stand still before the stream counts as stalled.
    static constexpr int kStallMs = 150;

    // Sound thread.
    void open();
    void close();
    // The sink takes the next samples: the queue's, then silence.
    qint64 take(char* data, qint64 maxBytes);

  signals:
    void stateChanged();
    void positionReached();

  private:
    void watch();
    void fail();
    void setState(State state);

    // Sound thread only.
    QAudioSink* m_sink = nullptr;
    QIODevice* m_device = nullptr;
    QTimer* m_watchTimer = nullptr;
    QTimer* m_retryTimer = nullptr;
    bool m_reportedStall = false;
    bool m_soundSystemStarted = false;
    qint64 m_openedAt = -1;  // `written` when the sink opened, until the server takes samples

    // Shared, under m_mutex.
    mutable QMutex m_mutex;
    std::deque<qint16> m_queue;  // samples from m_written on
    qint64 m_written = 0;
    State m_state = State::Opening;
    QElapsedTimer m_sinceAdvance;
    qint64 m_notifyAt = -1;
    int m_underruns = 0;
};
