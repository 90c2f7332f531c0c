#include "support/RecordingSoundOutput.h"

void RecordingSoundOutput::planned(Element kind, SoundPosition start, SoundPosition end,
                                   int durationMs, int frequencyHz, const QVector<qint16>* samples,
                                   int sampleRate) {
    Event event{static_cast<Kind>(kind),
                dueTime(start),
                durationMs,
                frequencyHz,
                samples != nullptr ? *samples : QVector<qint16>(),
                sampleRate,
                start,
                end};
    m_events.append(event);
    // Looked at when it is heard, from the timeline's own list of what waits for that.
    whenHeard(start, this, [this, event] {
        if (onEvent) {
            onEvent(event);
        }
    });
}

void RecordingSoundOutput::wasCut(SoundPosition from) {
    m_events.erase(std::remove_if(m_events.begin(), m_events.end(),
                                  [from](const Event& event) { return event.position >= from; }),
                   m_events.end());
}
