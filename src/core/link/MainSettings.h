#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "core/kit/ProgramSettings.h"
#include "core/kit/RecordFile.h"
#include "core/morse/SpeedPresets.h"

// The longest peer address kept: the longest host name DNS allows (an IPv6 literal is shorter).
inline constexpr int kLongestPeerAddress = 253;

// What the save button takes from the main window.
struct MainSettings {
    std::optional<qint16> tone;        // nothing when the tone box holds no 16-bit figure
    std::optional<int> speed;          // 25, 45, 60; nothing when no speed is selected
    int fineAdjust = 0;                // written only when it is one of the nine steps
    std::optional<QString> soundMode;  // "WAVE" or "BEEP"; nothing when neither is checked
    QString callsign;
    QString peerAddress;
    bool acceptOnlyPeer = false;  // kept in the program's own settings
    FreeSpeedChoice freeSpeed;    // kept in the program's own settings
};

// What saving did. The names are the Japanese names of the settings.
struct SaveOutcome {
    // Why the record file could not be written at all: then nothing was written.
    RecordFile::Access access;
    // Values the records cannot hold (a tone outside 16 bits, a callsign over 12 bytes or outside
    // code page 932, a peer address longer than any host name): not written.
    QStringList unfit;
    // Writes the record file refused although it opened.
    QStringList failed;
    // Values meant for the program's own settings file that it refused, and that file.
    QStringList notStored;
    QString storePath;

    bool fileUnwritable() const { return access.refusal != RecordFile::Refusal::None; }
    bool allSaved() const {
        return !fileUnwritable() && unfit.isEmpty() && failed.isEmpty() && notStored.isEmpty();
    }
};

// Writes every record that can hold its value and leaves the others as they were; writes nothing
// when the file cannot be written at all. A peer address the record cannot hold goes to the
// program's own settings, and its record is emptied so that it names no address of the past.
SaveOutcome SaveMainSettings(RecordFile& file, ProgramSettings& store,
                             const MainSettings& settings);

// The peer address as saved: the record's, or when it is empty the one kept beside it.
QString LoadPeerAddress(const RecordFile& file, const ProgramSettings& store);

// The choice to accept only the peer address: read at start-up, kept as the user makes it.
bool LoadAcceptOnlyPeer(const ProgramSettings& store);
bool SaveAcceptOnlyPeer(ProgramSettings& store, bool on);
// Why the choice could not be kept, when the user made it.
QString AcceptOnlyPeerNotKeptMessage(const ProgramSettings& store);

// Writes the callsign alone, as at program end; false when it cannot be held.
bool SaveCallsign(RecordFile& file, const QString& callsign);

// The message the save button shows when not everything was saved.
QString SaveOutcomeMessage(const SaveOutcome& outcome, const QString& path);
