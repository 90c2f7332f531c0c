#include "core/morse/CharacterDispatch.h"

#include "core/morse/BeepGenerator.h"
#include "core/morse/MorseTiming.h"
#include "core/morse/ToneFrequency.h"
#include "core/morse/WaveGenerator.h"
#include "core/sound/SoundOutput.h"

namespace {

struct SignEntry {
    char16_t character;
    SymbolId questionSymbol;  // used only when handledInQuestion
    bool handledInQuestion;
    const char* questionToken;
    SymbolId chatSymbol;
    const char* chatToken;
};

// The signs; letters, digits and the space follow one rule in both tables.
constexpr SignEntry kSigns[] = {
    {u'.', SymbolId::AR, true, "[AR]", SymbolId::Period, "."},
    {u'(', SymbolId::KN, false, nullptr, SymbolId::KN, "[KN]"},
    {u'+', SymbolId::AR, false, nullptr, SymbolId::AR, "[AR]"},
    {u'/', SymbolId::Slash, false, nullptr, SymbolId::Slash, "/"},
    {u'=', SymbolId::BT, false, nullptr, SymbolId::BT, "[BT]"},
    {u'?', SymbolId::Question, false, nullptr, SymbolId::Question, "?"},
};

// A word pause is this many dot units at the selected speed (the base of both generators).
constexpr int kWordPauseUnits = 4;

}  // namespace

std::optional<CharacterEntry> LookUpCharacter(QChar character, CharacterTable table) {
    if (const std::optional<SymbolId> symbol = SymbolForAlphanumeric(character)) {
        return CharacterEntry{symbol, character.toUpper()};
    }
    if (character == u' ') {
        return CharacterEntry{std::nullopt, QStringLiteral("[Space]")};
    }
    for (const SignEntry& sign : kSigns) {
        if (character != sign.character) {
            continue;
        }
        if (table == CharacterTable::Chat) {
            return CharacterEntry{sign.chatSymbol, QString::fromLatin1(sign.chatToken)};
        }
        if (sign.handledInQuestion) {
            return CharacterEntry{sign.questionSymbol, QString::fromLatin1(sign.questionToken)};
        }
    }
    return std::nullopt;
}

CharacterDispatch::CharacterDispatch(BeepGenerator& beep, WaveGenerator& wave, SoundOutput& output,
                                     const SoundControls& controls, MorseSoundState& state)
    : m_beep(beep), m_wave(wave), m_output(output), m_controls(controls), m_state(state) {}

int CharacterDispatch::selectedUnit() const {
    const std::optional<int> speed = m_controls.selectedSpeed();
    return speed ? UnitForSpeed(*speed) : 0;
}

std::optional<CharacterEntry> CharacterDispatch::SoundCharacter(QChar character,
                                                                CharacterTable table) {
    std::optional<CharacterEntry> entry = LookUpCharacter(character, table);
    if (!entry) {
        return entry;
    }
    m_output.whenHeard(m_output.nextPosition(), &m_state.lifetime,
                       [this, token = entry->token] { m_state.CurrentSoundToken = token; });

    const SoundGenerator generator = m_controls.selectedGenerator();
    if (const std::optional<FreeSpeed> free = m_controls.freeSpeed()) {
        if (generator == SoundGenerator::None) {
            return entry;
        }
        if (entry->symbol) {
            SoundSymbol(*entry->symbol);
        } else {
            // Both generators alike: the character before closed with a character gap.
            const SoundPosition start = m_output.nextPosition();
            m_output.planGapSamples(m_exactPlace.advance(
                start, m_exactPlace.at(start),
                WordPauseSamples(TimesFor(*free), SoundTimeline::kSampleRate)));
        }
        return entry;
    }
    const int unit = selectedUnit();
    if (generator == SoundGenerator::None || unit <= 0) {
        return entry;
    }
    if (!entry->symbol) {
        // Four units with the beep generator; the WAV generator's pause is half of it.
        const float half = generator == SoundGenerator::Wave ? 0.5f : 1.0f;
        const float factor = FineAdjustFactor(static_cast<qint16>(m_controls.fineAdjustValue()));
        m_output.planGap(ScaledDuration(kWordPauseUnits * unit, factor * half));
        return entry;
    }
    SoundSymbol(*entry->symbol);
    return entry;
}

void CharacterDispatch::SoundSymbol(SymbolId symbol) {
    if (const std::optional<FreeSpeed> free = m_controls.freeSpeed()) {
        const FreeSpeedTimes times = TimesFor(*free);
        switch (m_controls.selectedGenerator()) {
            case SoundGenerator::Wave:
                m_wave.SoundCharacterExact(symbol, times, m_controls.toneHz(), m_exactPlace);
                break;
            case SoundGenerator::Beep:
                m_beep.SoundCharacterExact(symbol, times, m_exactPlace);
                break;
            case SoundGenerator::None:
                break;
        }
        return;
    }
    const int unit = selectedUnit();
    if (unit <= 0) {
        return;
    }
    switch (m_controls.selectedGenerator()) {
        case SoundGenerator::Wave:
            m_wave.SoundCharacterWave(symbol, unit, m_controls.toneHz());
            break;
        case SoundGenerator::Beep:
            m_beep.SoundCharacterBeep(symbol, unit, 3 * unit);
            break;
        case SoundGenerator::None:
            break;
    }
}
