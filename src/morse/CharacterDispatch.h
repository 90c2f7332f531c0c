#pragma once

#include <QChar>
#include <QString>
#include <optional>

#include "morse/MorseTable.h"
#include "morse/SoundControls.h"

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

    // Returns when the character, its closing gap and any word pause are over.
    void SoundCharacter(QChar character, CharacterTable table);

  private:
    BeepGenerator& m_beep;
    WaveGenerator& m_wave;
    SoundOutput& m_output;
    const SoundControls& m_controls;
    MorseSoundState& m_state;
};
