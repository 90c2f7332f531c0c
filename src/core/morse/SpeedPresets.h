#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "core/morse/FreeSpeed.h"

class ProgramSettings;

// A named choice of speed, spacing and tone the user can pick again.
struct SpeedPreset {
    QString name;
    FreeSpeed speed;
    QString toneText;

    bool operator==(const SpeedPreset&) const = default;
};

// The presets a first start offers: slow Farnsworth for beginners, 20 and 30 WPM.
QList<SpeedPreset> ShippedPresets();

// The speed of its own and whether it is chosen instead of the three options. Kept in the
// program's own settings file, never in saveset.dat, whose records are the three options'.
struct FreeSpeedChoice {
    FreeSpeed speed;
    bool chosen = false;

    bool operator==(const FreeSpeedChoice&) const = default;
};

// What was kept; the default (20 WPM, not chosen) when nothing or nothing readable was.
FreeSpeedChoice LoadFreeSpeedChoice(const ProgramSettings& store);
bool SaveFreeSpeedChoice(ProgramSettings& store, const FreeSpeedChoice& choice);

// The presets kept; the shipped ones when none were ever saved. Entries that do not read are
// left out.
QList<SpeedPreset> LoadSpeedPresets(const ProgramSettings& store);
bool SaveSpeedPresets(ProgramSettings& store, const QList<SpeedPreset>& presets);
