#pragma once

#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "core/morse/MorseDecoder.h"
#include "core/morse/SoftSignDecoder.h"

// Decodes one signal, whole characters at a time, as its sound comes. The sound not yet decided
// is decoded again whenever a quarter of a second more has come: what lies more than a few dots
// before the end is decided (text()) and its sound let go; the rest is shown as tentative(),
// since the sound still to come may change it. So a character is shown as soon as the gap after
// it has begun, and decided once that gap is over and two dots more have been heard: within a
// word gap of its end. The speed is first guessed from the first few seconds, then learned from
// what is decided.
class LiveSignDecoder {
  public:
    // How much sound is held undecided at most: past it (a carrier, keying with no gaps) the
    // oldest is let go undecoded.
    static constexpr double kMostHeldSeconds = 30;
    static constexpr double kTrialSeconds = 4;

    LiveSignDecoder(int sampleRate, double pitchHz);

    void addSamples(std::span<const float> samples);
    // The sound has ended: everything is decided.
    void finish();

    const QString& text() const { return m_text; }
    const QString& tentative() const { return m_tentative; }
    double pitchHz() const { return m_pitchHz; }
    // By the timing rule, from the lengths learned; 0 before the first guess.
    double wpm() const;
    // What was decided, as the timing decoder reports a fist's elements (lengths in ms), for
    // the fist report.
    const std::vector<DecodedElement>& elements() const { return m_elements; }
    const std::vector<DecodedCharacter>& characters() const { return m_characters; }

  private:
    void decode(bool all);
    // The speed guessed from the sound held, once it holds keying; false until then.
    bool guessSpeed(bool all);
    void decide(const SignPiece& piece, double blockMs);

    int m_rate;
    double m_pitchHz;
    std::optional<KeyingLengths> m_lengthsMs;
    std::vector<float> m_held;
    size_t m_undecoded = 0;   // samples added since the last decoding
    size_t m_sinceGuess = 0;  // and since the speed was last guessed at
    QString m_text;
    QString m_tentative;
    QString m_pattern;  // of the sign being decided
    std::vector<DecodedElement> m_elements;
    std::vector<DecodedCharacter> m_characters;
};
