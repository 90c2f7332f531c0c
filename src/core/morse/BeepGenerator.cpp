#include "core/morse/BeepGenerator.h"

#include "core/morse/MorseTiming.h"
#include "core/morse/ToneFrequency.h"

namespace {

// BT stands between the call-up and the question: it is closed with the word space.
bool BeepClosesWithWordGap(SymbolId symbol) {
    return symbol == SymbolId::BT;
}

}  // namespace

BeepGenerator::BeepGenerator(SoundOutput& output, const SoundControls& controls,
                             MorseSoundState& state, const Clock& clock)
    : m_output(output), m_controls(controls), m_state(state), m_clock(clock) {}

float BeepGenerator::currentFactor() const {
    return FineAdjustFactor(static_cast<qint16>(m_controls.fineAdjustValue()));
}

void BeepGenerator::recordWhenHeard(const MorseSymbol& entry, SoundPosition start) {
    // Recorded as it begins to sound: an answer given while it plays is about this symbol.
    if (entry.recordedBeep != nullptr) {
        m_output.whenHeard(start, &m_state.lifetime, [this, recorded = entry.recordedBeep] {
            m_state.LastSoundedChar = QString::fromLatin1(recorded);
        });
    }
}

SoundPosition BeepGenerator::SoundCharacterBeep(SymbolId symbol, int dotMs, int dashMs) {
    const MorseSymbol& entry = MorseSymbolFor(symbol);
    const SoundPosition start = m_output.nextPosition();
    if (m_clock.quitting()) {
        return start;
    }
    // The pitch and the factor are read once for the whole symbol, which is planned at once.
    const int frequency = m_controls.toneHz();
    const float factor = currentFactor();
    recordWhenHeard(entry, start);
    const QLatin1StringView pattern(entry.pattern);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const int length = pattern[i] == u'-' ? dashMs : dotMs;
        m_output.planTone(frequency, ScaledDuration(length, factor));
        const bool last = i == pattern.size() - 1;
        int gap = dotMs;
        if (last) {
            gap = BeepClosesWithWordGap(symbol) ? dotMs * 7 : dashMs;
        }
        m_output.planGap(ScaledDuration(gap, factor));
    }
    return start;
}

SoundPosition BeepGenerator::SoundCharacterExact(SymbolId symbol, const FreeSpeedTimes& times,
                                                 ExactPlace& place) {
    const MorseSymbol& entry = MorseSymbolFor(symbol);
    const SoundPosition start = m_output.nextPosition();
    if (m_clock.quitting()) {
        return start;
    }
    const int frequency = m_controls.toneHz();
    recordWhenHeard(entry, start);
    const CharacterEdges edges =
        EdgesFor(QLatin1StringView(entry.pattern), times,
                 BeepClosesWithWordGap(symbol) ? Closing::WordGap : Closing::CharacterGap,
                 SoundTimeline::kSampleRate, place.at(start));
    qint64 at = 0;
    for (qsizetype i = 0; i < edges.toneStarts.size(); ++i) {
        m_output.planGapSamples(edges.toneStarts[i] - at);
        m_output.planToneSamples(frequency, edges.toneEnds[i] - edges.toneStarts[i]);
        at = edges.toneEnds[i];
    }
    m_output.planGapSamples(edges.end - at);
    place = {start + edges.end, edges.endFraction};
    return start;
}
