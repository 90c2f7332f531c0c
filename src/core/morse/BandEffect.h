#pragma once

#include <QList>
#include <QString>
#include <memory>

#include "core/morse/BandConditionFields.h"

// One effect of the band conditions: its figures (how the settings file, a peer's request and
// the dialog name and check them), its words in the conditions' short account, and its sound
// (a BandSound the sound output renders). A new effect is its members in BandConditions, one
// file that makes its BandEffect and its BandSound, and one entry in BandEffects().
struct BandEffect {
    // Its fields, the one that switches it on first, in the order a peer's request sends them.
    QList<BandConditionField> fields;
    // Its words in the account ("SNR 12dB"); asked only while it is on.
    QString (*words)(const BandConditions& conditions);
    // What makes its sound while it is on; none when its figures cannot be rendered (NaN,
    // infinite, a rate below zero), which switches it off.
    BandSoundMaker (*sound)(const BandConditions& conditions);

    // Switched on: its first field is above zero (a switch, or a count of stations).
    bool isOn(const BandConditions& conditions) const;
    // Its words while it is on; empty while it is off.
    QString summary(const BandConditions& conditions) const;
};

// What makes an effect's Sound for the receiver, Sound(receiver, figures...), with its figures.
template <typename Sound, typename... Figures>
BandSoundMaker SoundFor(Figures... figures) {
    return [figures...](const BandReceiver& receiver) {
        return std::make_unique<Sound>(receiver, figures...);
    };
}

// Every effect, in the order of the request and the account.
const QList<const BandEffect*>& BandEffects();

// A figure as the account writes it: at most four digits.
QString BandFigure(double value);

// The effects, each in its own file.
const BandEffect& NoiseEffect();
const BandEffect& FadingEffect();
const BandEffect& StationsEffect();
const BandEffect& CrashesEffect();
const BandEffect& ChirpEffect();
const BandEffect& FistEffect();
