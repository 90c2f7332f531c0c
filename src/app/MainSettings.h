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

// What saving did. The names are the Japanese names of the settings.
struct SaveOutcome {
    // The file could not be opened for writing: nothing was written.
    bool fileUnwritable = false;
    // Values the records cannot hold (a tone outside 16 bits, a text over 12 bytes or outside
    // code page 932): not written.
    QStringList unfit;
    // Writes the file refused although it opened.
    QStringList failed;

    bool allSaved() const { return !fileUnwritable && unfit.isEmpty() && failed.isEmpty(); }
};

// Writes every record that can hold its value and leaves the others as they were; writes nothing
// when the file cannot be written at all.
SaveOutcome SaveMainSettings(RecordFile& file, const MainSettings& settings);

// Writes the callsign alone, as at program end; false when it cannot be held.
bool SaveCallsign(RecordFile& file, const QString& callsign);

// The message the save button shows when not everything was saved.
QString SaveOutcomeMessage(const SaveOutcome& outcome, const QString& path);
