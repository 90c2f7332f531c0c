#pragma once

#include "common/Clock.h"
#include "morse/MorseTable.h"
#include "morse/SoundControls.h"
#include "morse/SoundOutput.h"

// Sounds a symbol as plain tones through the blocking tone, with silent gaps.
class BeepGenerator {
  public:
    BeepGenerator(SoundOutput& output, const SoundControls& controls, MorseSoundState& state,
                  const Clock& clock);

    // Returns when the symbol and its closing gap are over.
    void SoundCharacterBeep(SymbolId symbol, int dotMs, int dashMs);

  private:
    float currentFactor() const;

    SoundOutput& m_output;
    const SoundControls& m_controls;
    MorseSoundState& m_state;
    const Clock& m_clock;
};
