#pragma once

#include <QString>
#include <array>
#include <optional>

// The 42 symbols the trainer can sound, in table order.
enum class SymbolId {
    A,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z,
    Num1,
    Num2,
    Num3,
    Num4,
    Num5,
    Num6,
    Num7,
    Num8,
    Num9,
    Num0,
    KN,
    AR,
    Period,
    Slash,
    BT,
    Question,
};

inline constexpr int kSymbolCount = 42;

struct MorseSymbol {
    SymbolId id;
    const char* pattern;   // "." and "-", sounded left to right
    const char* fileStem;  // WAV file name without ".wav"
    // What each generator records in LastSoundedChar; nullptr leaves it unchanged.
    const char* recordedBeep;
    const char* recordedWave;
};

const std::array<MorseSymbol, kSymbolCount>& MorseTable();
const MorseSymbol& MorseSymbolFor(SymbolId id);

// The name of the symbol's sound file in the sound folder ("A.wav").
QString SoundFileName(SymbolId id);

// The symbol for a letter (either case) or a digit; nothing for other characters.
std::optional<SymbolId> SymbolForAlphanumeric(QChar character);
