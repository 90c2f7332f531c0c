#pragma once

#include <QString>

// What the generators read from the main window's controls, afresh every time,
// so that a change takes effect from the next symbol or element on.
class SoundControls {
  public:
    virtual ~SoundControls() = default;
    virtual QString toneText() const = 0;
    virtual int fineAdjustValue() const = 0;
};

// Shared by the character routines and the answer checking.
struct MorseSoundState {
    QString LastSoundedChar;
    QString CurrentSoundToken;
};
