#include "support/RecordingSoundOutput.h"

void RecordingSoundOutput::Beep(int frequencyHz, int durationMs) {
    m_events.append({Kind::Tone, clock().now(), durationMs, frequencyHz, {}, 0});
    notify();
    SilentSoundOutput::Beep(frequencyHz, durationMs);
}

void RecordingSoundOutput::PlayWave(const QVector<qint16>& samples, int sampleRate) {
    m_events.append({Kind::Wave, clock().now(), SamplesDurationMs(samples.size(), sampleRate), 0,
                     samples, sampleRate});
    notify();
    SilentSoundOutput::PlayWave(samples, sampleRate);
}

void RecordingSoundOutput::Gap(int ms) {
    m_events.append({Kind::Gap, clock().now(), ms, 0, {}, 0});
    notify();
    SilentSoundOutput::Gap(ms);
}

void RecordingSoundOutput::notify() {
    if (onEvent) {
        onEvent(m_events.constLast());
    }
}
