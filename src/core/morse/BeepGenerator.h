#pragma once

#include "core/kit/Clock.h"
#include "core/morse/FreeSpeed.h"
#include "core/morse/MorseTable.h"
#include "core/morse/SoundControls.h"
#include "core/sound/SoundOutput.h"

// Sounds a symbol as plain tones with silent gaps.
class BeepGenerator {
  public:
    BeepGenerator(SoundOutput& output, const SoundControls& controls, MorseSoundState& state,
                  const Clock& clock);

    // Plans the symbol and its closing gap; returns the position of its first element.
    SoundPosition SoundCharacterBeep(SymbolId symbol, int dotMs, int dashMs);

    // The same at a speed of its own: every edge where the exact times put it, to the sample.
    // The place carries the exact times' fraction of a sample from character to character.
    SoundPosition SoundCharacterExact(SymbolId symbol, const FreeSpeedTimes& times,
                                      ExactPlace& place);

  private:
    float currentFactor() const;
    void recordWhenHeard(const MorseSymbol& entry, SoundPosition start);

    SoundOutput& m_output;
    const SoundControls& m_controls;
    MorseSoundState& m_state;
    const Clock& m_clock;
};
