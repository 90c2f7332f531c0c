#pragma once

#include <QList>
#include <QString>

#include "core/sound/BandSettings.h"

class ProgramSettings;

// The listener's band conditions: what is heard beside and about the wanted signal. Everything is
// off until chosen; the seed makes the same conditions sound the same everywhere.
struct BandConditions {
    quint64 seed = 1;

    bool noiseOn = false;
    double snrDb = 20;

    bool fadingOn = false;
    double fadingHz = 0.5;

    int stationCount = 0;       // other stations, 0 ... kMostStations
    int stationSpreadHz = 600;  // their pitch within ± this of the wanted tone
    int stationWpmLow = 15;
    int stationWpmHigh = 30;
    double stationLevelDb = -6;

    bool crashesOn = false;
    double crashesPerSecond = 1;
    double crashDb = 0;

    bool chirpOn = false;
    double chirpHz = 30;

    bool fistOn = false;
    double jitterPercent = 10;
    double weightPercent = 0;

    static constexpr int kMostStations = 4;

    // Some effect is on (BandEffects() lists them).
    bool anyOn() const;
    // A short account for the history ("" when every effect is off).
    QString summary() const;

    bool operator==(const BandConditions&) const = default;
};

// The conditions as the sound output renders them around a tone of toneHz: the other stations'
// calls, phrases, speeds and pitches drawn from the seed.
BandSettings ToBandSettings(const BandConditions& conditions, int toneHz);
// What the other stations send, one line each, as drawn from the seed.
QStringList StationTexts(const BandConditions& conditions);

struct BandPreset {
    QString name;
    BandConditions conditions;
};
// The ready-made conditions, the first one all off.
QList<BandPreset> BandPresets();
// Which preset the conditions sound as, their seed aside and the figures of effects that are off
// not counted; -1 when they are the listener's own.
qsizetype BandPresetIndexOf(const BandConditions& conditions);
// What the status bar says of the conditions in force.
QString BandStatusText(const BandConditions& conditions);

// Kept in the program's own settings file, never in the record file. A value that is missing
// reads as the default; so does one that is not a figure the field may hold (not a number, NaN,
// out of range), and it is named in refused ("snrDb=nan").
BandConditions LoadBandConditions(const ProgramSettings& store, QStringList* refused = nullptr);
bool SaveBandConditions(ProgramSettings& store, const BandConditions& conditions);
