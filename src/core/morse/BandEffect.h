#pragma once

#include <QList>
#include <QString>

#include "core/morse/BandConditionFields.h"

// One effect of the band conditions: its figures (how the settings file, a peer's request and
// the dialog name and check them), its part of the conditions' short account, and what it gives
// the sound output to render. A new effect is its members in BandConditions and BandSettings,
// its rendering, one file with its class and one entry in BandEffects().
class BandEffect {
  public:
    virtual ~BandEffect() = default;

    // Its fields, the one that switches it on first, in the order a peer's request sends them.
    virtual QList<BandConditionField> fields() const = 0;
    // Its words in the account ("SNR 12dB"), empty while it is off.
    virtual QString summary(const BandConditions& conditions) const = 0;
    // Its figures as the sound output renders them.
    virtual void render(const BandConditions& conditions, BandSettings& settings) const = 0;

    // Switched on: its first field is not zero.
    virtual bool isOn(const BandConditions& conditions) const;
};

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
