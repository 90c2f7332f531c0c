#pragma once

#include "common/Clock.h"
#include "morse/MorseTable.h"
#include "morse/SoundControls.h"
#include "sound/SoundOutput.h"

// Sounds a symbol as plain tones with silent gaps.
class BeepGenerator {
  public:
    BeepGenerator(SoundOutput& output, const SoundControls& controls, MorseSoundState& state,
                  const Clock& clock);

    // Plans the symbol and its closing gap; returns the position of its first element.
    SoundPosition SoundCharacterBeep(SymbolId symbol, int dotMs, int dashMs);

  private:
    float currentFactor() const;

    SoundOutput& m_output;
    const SoundControls& m_controls;
    MorseSoundState& m_state;
    const Clock& m_clock;
};
