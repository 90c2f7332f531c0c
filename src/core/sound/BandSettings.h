#pragma once

#include <QList>
#include <QtGlobal>
#include <functional>
#include <memory>

#include "core/sound/BandSound.h"

// Makes one effect's sound for the receiver (its figures already checked as playable).
using BandSoundMaker = std::function<std::unique_ptr<BandSound>(const BandReceiver& receiver)>;

// What the band adds to the wanted signal, as the sound output renders it: a sound for each
// effect that is on, in the effects' order. With none nothing is touched.
struct BandSettings {
    quint64 seed = 1;
    int toneHz = 800;  // the wanted tone, where the receiver's filter is centred
    QList<BandSoundMaker> sounds;

    bool anyOn() const { return !sounds.isEmpty(); }
};
