#pragma once

#include <QList>
#include <functional>

#include "support/SilentSoundOutput.h"

// For tests: takes the silent output's time and logs what would have sounded.
class RecordingSoundOutput : public SilentSoundOutput {
    Q_OBJECT
  public:
    enum class Kind { Tone, Wave, Gap };
    struct Event {
        Kind kind;
        qint64 start;             // clock time when the call began
        int durationMs;           // asked for (tones, gaps) or taken (waves)
        int frequencyHz;          // tones only
        QVector<qint16> samples;  // waves only
        int sampleRate;           // waves only
    };

    using SilentSoundOutput::SilentSoundOutput;

    void Beep(int frequencyHz, int durationMs) override;
    void PlayWave(const QVector<qint16>& samples, int sampleRate) override;
    void Gap(int ms) override;

    const QList<Event>& events() const { return m_events; }
    // Called as each event begins, so that a test can look at the window at that moment.
    std::function<void(const Event&)> onEvent;
    void clear() { m_events.clear(); }

  private:
    void notify();

    QList<Event> m_events;
};
