#pragma once

#include <QTimer>

#include "core/sound/PulseOutput.h"
#include "core/sound/SilentTimeline.h"
#include "core/sound/SoundOutput.h"

// The program's sound: the planned timeline played through the desktop's sound server, or, while
// there is none (none yet, none at all, one that died or froze), run silently on the clock with
// the same timing. It changes over to the server only once everything planned has been heard, so
// nothing is cut in two.
class RealSoundOutput : public SoundOutput {
    Q_OBJECT
  public:
    explicit RealSoundOutput(Clock& clock, QObject* parent = nullptr);
    ~RealSoundOutput() override;

    bool isSoundOn() const override { return m_onStream; }
    // Times the server ran dry while planned sound was waiting (a hole), for the benchmark.
    int underruns() const;
    QString realtimeState() const { return m_pulse.realtimeState(); }

    // The keyed tone (sending practice): open while keying can happen.
    void openKeying() override;
    void closeKeying() override;
    void keyDown(int frequencyHz) override;
    void keyUp() override;

    // Stops the sound thread, waiting at most timeoutMs.
    bool shutDown(int timeoutMs);

  protected:
    SoundPosition heardPosition() const override;
    SoundPosition earliestPlannable() const override;
    qint64 earliestPlannableTenths() const override;
    void mixSamples(SoundPosition at, const QVector<qint16>& samples) override;
    void discardFrom(SoundPosition at) override;
    void extendTo(SoundPosition end) override;
    qint64 dueTime(SoundPosition position) const override;

  private:
    void followStream();
    void leaveStream();

    PulseOutput m_pulse;
    SilentTimeline m_silent;
    bool m_onStream = false;
    // Timeline position = the planned stream's own position + m_offset.
    SoundPosition m_offset = 0;
    QTimer m_check;  // looks at the server's health while sound is due, and for the change-over
};
