#pragma once

#include <QList>
#include <functional>

#include "support/SilentSoundOutput.h"

// For tests: takes the silent output's time and logs what is heard, when it is heard.
class RecordingSoundOutput : public SilentSoundOutput {
    Q_OBJECT
  public:
    enum class Kind { Tone, Wave, Gap };
    struct Event {
        Kind kind;
        qint64 start;             // clock time at which it is heard
        int durationMs;           // asked for (tones, gaps) or taken (waves)
        int frequencyHz;          // tones only
        QVector<qint16> samples;  // waves only
        int sampleRate;           // waves only
        SoundPosition position;   // its first sample on the timeline
        SoundPosition end;        // the sample after its last
    };

    using SilentSoundOutput::SilentSoundOutput;

    // What was planned and not cut, in the order it sounds.
    const QList<Event>& events() const { return m_events; }
    // Called as each element begins to be heard, so that a test can look at the window then.
    std::function<void(const Event&)> onEvent;
    void clear() { m_events.clear(); }

    // The live keyed tone: "[" opened, "+" down, "-" up, "]" closed.
    const QString& keying() const { return m_keying; }
    void openKeying() override { m_keying += u'['; }
    void closeKeying() override { m_keying += u']'; }
    void keyDown(int /*frequencyHz*/) override { m_keying += u'+'; }
    void keyUp() override { m_keying += u'-'; }

  protected:
    void planned(Element kind, SoundPosition start, SoundPosition end, int durationMs,
                 int frequencyHz, const QVector<qint16>* samples, int sampleRate) override;
    void wasCut(SoundPosition from) override;

  private:
    QList<Event> m_events;
    QString m_keying;
};
