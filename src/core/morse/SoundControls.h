#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "core/morse/FreeSpeed.h"

// Which generator the sound menu selects.
enum class SoundGenerator { None, Wave, Beep };

// What the generators and the character dispatch read from the windows' controls,
// afresh for every character, so that a change takes effect from the next character on.
class SoundControls {
  public:
    virtual ~SoundControls() = default;
    // The tone every sound is made at, in hertz, held to the range.
    virtual int toneHz() const = 0;
    virtual int fineAdjustValue() const = 0;

    // The check marks of the sound menu, the WAV entry tested first.
    virtual SoundGenerator selectedGenerator() const { return SoundGenerator::Wave; }
    // The first selected of 25, 45 and 60 characters per minute; nothing when none is.
    virtual std::optional<int> selectedSpeed() const { return 25; }
    // The speed of its own when that is chosen instead of the three; it then sounds every
    // playback.
    virtual std::optional<FreeSpeed> freeSpeed() const { return std::nullopt; }
    // The WAV settings dialog's levels, 1 ... 5.
    virtual int waveQualityLevel() const { return 1; }
    virtual int waveVolumeLevel() const { return 1; }
    // Counts every change of any of the above: sound planned ahead with older settings is
    // planned again.
    virtual quint64 revision() const { return 0; }
    // Runs changed, while context lives, after each change that revision() counts: a playback
    // waiting on events plans again at once. Controls that never change need not tell.
    virtual void whenChanged(QObject* context, std::function<void()> changed) const {
        Q_UNUSED(context);
        Q_UNUSED(changed);
    }
};

// Shared by the character routines and the answer checking. Both are set when the character's
// sound is heard, not when it is planned.
struct MorseSoundState {
    QString LastSoundedChar;
    QString CurrentSoundToken;
    // Lives as long as the state: what waits to set it goes with it.
    QObject lifetime;
};
