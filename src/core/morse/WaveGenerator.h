#pragma once

#include "core/kit/Clock.h"
#include "core/morse/FreeSpeed.h"
#include "core/morse/MorseTable.h"
#include "core/morse/SoundControls.h"
#include "core/morse/WaveSynthesis.h"
#include "core/sound/SoundOutput.h"

class Places;

// The test word always sounds at the 60-per-minute unit, whatever speed is selected.
inline constexpr int kTestWordUnitMs = 90;

// Sounds a symbol as a synthesised WAV stream: writes the symbol's file into the
// sound folder, plays the samples just written, then waits the closing gap.
class WaveGenerator {
  public:
    WaveGenerator(SoundOutput& output, const SoundControls& controls, MorseSoundState& state,
                  const Clock& clock, Places& places);

    // Plans the symbol's stream and its closing gap; returns the position of its first sample.
    SoundPosition SoundCharacterWave(SymbolId symbol, int unitMs, int frequencyHz);

    // T, E, S, T with this generator, whatever the sound menu says, planned at once; heard runs
    // once it is over (heard to its end, or cut), while context lives.
    void PlayTestWord(int unitMs, int frequencyHz, QObject* context, std::function<void()> heard);

    // Builds the symbol's stream from the current settings and writes its file;
    // returns the stream (valid until the next build). Playing is left to the caller.
    const SampleBuffer& WriteSymbolFile(SymbolId symbol, int unitMs, int frequencyHz);

    // The same two at a speed of its own: the file holds the elements and the gaps between them,
    // every edge where the exact times put it (at half amplitude, ramps of rampSamples across
    // it), and the closing gap follows it.
    // The place carries the exact times' fraction of a sample from character to character.
    SoundPosition SoundCharacterExact(SymbolId symbol, const FreeSpeedTimes& times, int frequencyHz,
                                      ExactPlace& place);
    const SampleBuffer& WriteExactSymbolFile(SymbolId symbol, const CharacterEdges& edges,
                                             qint64 rampSamples, int frequencyHz);

    // The path of a symbol's file in the sound folder.
    QString FilePath(SymbolId symbol) const;

  private:
    float currentFactor() const;
    void recordWhenHeard(SymbolId symbol, SoundPosition start);
    void writeFile(const QString& path, const SampleBuffer& stream);
    void buildElement(SampleBuffer& buffer, bool dash, int unitMs, int frequencyHz);

    SoundOutput& m_output;
    const SoundControls& m_controls;
    MorseSoundState& m_state;
    const Clock& m_clock;
    Places& m_places;
    // Kept for the whole run so that their storage is reused from symbol to symbol.
    SampleBuffer m_dot;
    SampleBuffer m_dash;
};
