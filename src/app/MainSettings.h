#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "common/RecordFile.h"

// What the save button takes from the main window.
struct MainSettings {
    QString toneText;
    std::optional<int> speed;          // 25, 45, 60; nothing when no speed is selected
    int fineAdjust = 0;                // written only when it is one of the nine steps
    std::optional<QString> soundMode;  // "WAVE" or "BEEP"; nothing when neither is checked
    QString callsign;
    QString peerAddress;
};

// Writes every record that can hold its value and leaves the others as they
// were. Returns the Japanese names of the settings that were not saved.
QStringList SaveMainSettings(RecordFile& file, const MainSettings& settings);

// Writes the callsign alone, as at program end; false when it cannot be held.
bool SaveCallsign(RecordFile& file, const QString& callsign);
