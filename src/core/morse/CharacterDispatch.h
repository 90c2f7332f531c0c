#pragma once

#include <QChar>
#include <QString>
#include <functional>
#include <optional>

#include "core/morse/FreeSpeed.h"
#include "core/morse/MorseTable.h"
#include "core/morse/SoundControls.h"

class BeepGenerator;
class SoundOutput;
class WaveGenerator;

// Which text characters a playback sounds, and as what.
enum class CharacterTable { Question, Chat };

// What one character of a table stands for: a symbol, or a word pause (no symbol).
struct CharacterEntry {
    std::optional<SymbolId> symbol;
    QString token;
};

// The entry for a character in a table; nothing when the table does not handle it.
std::optional<CharacterEntry> LookUpCharacter(QChar character, CharacterTable table);

// Sounds one text character with the generator, speed and tone the windows select,
// read afresh for every character.
class CharacterDispatch {
  public:
    CharacterDispatch(BeepGenerator& beep, WaveGenerator& wave, SoundOutput& output,
                      const SoundControls& controls, MorseSoundState& state);

    // Plans the character, its closing gap and any word pause, and returns what the table made
    // of it (nothing: a character the table does not handle, which sounds nothing). The token
    // and the last sounded character change when it is heard.
    std::optional<CharacterEntry> SoundCharacter(QChar character, CharacterTable table);
    // Plans a symbol as the selected generator sounds it at the selected speed (the call-up).
    void SoundSymbol(SymbolId symbol);
    SoundOutput& output() { return m_output; }
    const SoundControls& controls() const { return m_controls; }
    // The token of the character heard last.
    const QString& currentToken() const { return m_state.CurrentSoundToken; }

  private:
    // The selected speed's unit, or 0 when none is selected.
    int selectedUnit() const;

    BeepGenerator& m_beep;
    WaveGenerator& m_wave;
    SoundOutput& m_output;
    const SoundControls& m_controls;
    MorseSoundState& m_state;
    ExactPlace m_exactPlace;
};
