#include "morse/BeepGenerator.h"

#include "morse/MorseTiming.h"
#include "morse/ToneFrequency.h"

BeepGenerator::BeepGenerator(SoundOutput& output, const SoundControls& controls,
                             MorseSoundState& state, const Clock& clock)
    : m_output(output), m_controls(controls), m_state(state), m_clock(clock) {}

float BeepGenerator::currentFactor() const {
    return FineAdjustFactor(static_cast<qint16>(m_controls.fineAdjustValue()));
}

SoundPosition BeepGenerator::SoundCharacterBeep(SymbolId symbol, int dotMs, int dashMs) {
    const MorseSymbol& entry = MorseSymbolFor(symbol);
    const SoundPosition start = m_output.nextPosition();
    if (m_clock.quitting()) {
        return start;
    }
    // The pitch and the factor are read once for the whole symbol, which is planned at once.
    const int frequency = ToneFrequencyForSound(m_controls.toneText());
    const float factor = currentFactor();
    // Recorded as it begins to sound: an answer given while it plays is about this symbol.
    if (entry.recordedBeep != nullptr) {
        m_output.whenHeard(start, &m_state.lifetime, [this, recorded = entry.recordedBeep] {
            m_state.LastSoundedChar = QString::fromLatin1(recorded);
        });
    }
    const QLatin1StringView pattern(entry.pattern);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const int length = pattern[i] == u'-' ? dashMs : dotMs;
        m_output.planTone(frequency, ScaledDuration(length, factor));
        const bool last = i == pattern.size() - 1;
        int gap = dotMs;
        if (last) {
            gap = symbol == SymbolId::BT ? dotMs * 7 : dashMs;
        }
        m_output.planGap(ScaledDuration(gap, factor));
    }
    return start;
}
