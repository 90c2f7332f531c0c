#pragma once

#include "core/sound/SilentTimeline.h"
#include "core/sound/SoundOutput.h"

// Takes exactly as long as real sound would, on the given clock, and plays nothing.
class SilentSoundOutput : public SoundOutput {
    Q_OBJECT
  public:
    explicit SilentSoundOutput(Clock& clock, QObject* parent = nullptr)
        : SoundOutput(clock, parent), m_silent(clock) {}

    bool isSoundOn() const override { return false; }

  protected:
    SoundPosition heardPosition() const override { return m_silent.heard(); }
    SoundPosition earliestPlannable() const override { return m_silent.heard(); }
    qint64 earliestPlannableTenths() const override { return m_silent.heardTenths(); }
    void mixSamples(SoundPosition, const QVector<qint16>&) override {}
    void discardFrom(SoundPosition) override {}
    qint64 dueTime(SoundPosition position) const override { return m_silent.dueTime(position); }

  private:
    SilentTimeline m_silent;
};

// Whole milliseconds that a number of samples lasts, rounded up.
int SamplesDurationMs(qsizetype sampleCount, int sampleRate);
