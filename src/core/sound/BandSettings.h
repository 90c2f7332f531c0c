#pragma once

#include <QVector>
#include <QtGlobal>

// Another station heard beside the wanted one: its keying as alternating key-down and key-up
// lengths in samples (key-down first), sent over and over.
struct BandStation {
    int offsetHz = 0;     // from the wanted tone
    double levelDb = 0;   // its level against the wanted signal's
    QVector<int> keying;  // samples: down, up, down, up, ...
    qint64 startAt = 0;   // where in its keying the station is at the run's first sample
};

// What the band adds to the wanted signal, as the sound output renders it. Each effect is off
// until switched on; with all off nothing is touched.
struct BandSettings {
    quint64 seed = 1;
    int toneHz = 800;  // the wanted tone, where the receiver's filter is centred

    bool noiseOn = false;
    double snrDb = 20;  // wanted signal against the noise in 500 Hz

    bool fadingOn = false;
    double fadingHz = 0.5;  // frequency spread: twice the RMS Doppler frequency

    QVector<BandStation> stations;

    bool crashesOn = false;
    double crashesPerSecond = 1;
    double crashDb = 0;  // a crash's peak against the wanted signal

    bool chirpOn = false;
    double chirpHz = 30;  // how far the pitch is off at key-down

    bool fistOn = false;
    double jitterPercent = 10;  // spread of an element's length
    double weightPercent = 0;   // key-down longer (+) or shorter (-), key-up the other way

    bool anyOn() const {
        return noiseOn || fadingOn || !stations.isEmpty() || crashesOn || chirpOn || fistOn;
    }
    // The settings with every effect whose figures cannot be rendered (NaN, infinite, a rate
    // below zero) switched off: what the renderer plays, whoever filled them in.
    BandSettings playable() const;
};
