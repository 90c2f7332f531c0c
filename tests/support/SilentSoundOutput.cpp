#include "support/SilentSoundOutput.h"

SilentSoundOutput::SilentSoundOutput(Clock& clock, QObject* parent)
    : SoundOutput(parent), m_clock(clock) {}

void SilentSoundOutput::Beep(int /*frequencyHz*/, int durationMs) {
    m_clock.block(durationMs);
}

void SilentSoundOutput::PlayWave(const QVector<qint16>& samples, int sampleRate) {
    m_clock.block(SamplesDurationMs(samples.size(), sampleRate));
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
