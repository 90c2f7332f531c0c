#include "support/SilentSoundOutput.h"

SilentSoundOutput::SilentSoundOutput(Clock& clock, QObject* parent)
    : SoundOutput(parent), m_clock(clock) {}

// As the real output does, a sound lets events run while it plays.
void SilentSoundOutput::Beep(int /*frequencyHz*/, int durationMs) {
    Delay(m_clock, durationMs);
}

void SilentSoundOutput::PlayWave(const QVector<qint16>& samples, int sampleRate) {
    Delay(m_clock, SamplesDurationMs(samples.size(), sampleRate));
}

void SilentSoundOutput::Gap(int ms) {
    Delay(m_clock, ms);
}

int SamplesDurationMs(qsizetype sampleCount, int sampleRate) {
    if (sampleRate <= 0 || sampleCount <= 0) {
        return 0;
    }
    return static_cast<int>((static_cast<qint64>(sampleCount) * 1000 + sampleRate - 1) /
                            sampleRate);
}
