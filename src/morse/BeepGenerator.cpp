#include "morse/BeepGenerator.h"

#include "morse/MorseTiming.h"
#include "morse/ToneFrequency.h"

BeepGenerator::BeepGenerator(SoundOutput& output, const SoundControls& controls,
                             MorseSoundState& state, const Clock& clock)
    : m_output(output), m_controls(controls), m_state(state), m_clock(clock) {}

float BeepGenerator::currentFactor() const {
    return FineAdjustFactor(static_cast<qint16>(m_controls.fineAdjustValue()));
}

void BeepGenerator::SoundCharacterBeep(SymbolId symbol, int dotMs, int dashMs) {
    const MorseSymbol& entry = MorseSymbolFor(symbol);
    // The pitch is fixed for the whole symbol; the factor is read before every
    // tone and every gap so that the fine adjustment acts from the next element.
    const int frequency = ToneFrequencyForSound(m_controls.toneText());
    const QLatin1StringView pattern(entry.pattern);
    if (m_clock.quitting()) {
        return;
    }
    // Recorded before it sounds: an answer given while it plays is about this symbol.
    if (entry.recordedBeep != nullptr) {
        m_state.LastSoundedChar = QString::fromLatin1(entry.recordedBeep);
    }
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (m_clock.quitting()) {
            return;
        }
        const int length = pattern[i] == u'-' ? dashMs : dotMs;
        m_output.Beep(frequency, ScaledDuration(length, currentFactor()));

        const bool last = i == pattern.size() - 1;
        int gap = dotMs;
        if (last) {
            gap = symbol == SymbolId::BT ? dotMs * 7 : dashMs;
        }
        m_output.Gap(ScaledDuration(gap, currentFactor()));
    }
}
