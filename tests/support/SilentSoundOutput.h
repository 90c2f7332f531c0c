#pragma once

#include "common/Clock.h"
#include "morse/SoundOutput.h"

// Takes exactly as long as real sound would, on the given clock, and plays nothing.
class SilentSoundOutput : public SoundOutput {
    Q_OBJECT
  public:
    explicit SilentSoundOutput(Clock& clock, QObject* parent = nullptr);

    void Beep(int frequencyHz, int durationMs) override;
    void PlayWave(const QVector<qint16>& samples, int sampleRate) override;
    void Gap(int ms) override;
    bool isSoundOn() const override { return false; }

  protected:
    Clock& clock() const { return m_clock; }

  private:
    Clock& m_clock;
};

// Whole milliseconds that a number of samples lasts, rounded up.
int SamplesDurationMs(qsizetype sampleCount, int sampleRate);
