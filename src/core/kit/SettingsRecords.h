#pragma once

#include <QString>

// Record numbers of saveset.dat. Record 1 is never read or written.
namespace SettingsRecord {
inline constexpr int Tone = 2;
inline constexpr int Speed = 3;
inline constexpr int FineAdjust = 4;
inline constexpr int SoundMode = 5;
inline constexpr int WaveQuality = 6;
inline constexpr int WaveVolume = 7;
inline constexpr int Callsign = 8;
inline constexpr int PeerAddress = 9;
// The records that hold text.
inline constexpr int kTexts[] = {SoundMode, Callsign, PeerAddress};
}  // namespace SettingsRecord

inline const QString kSettingsFileName = QStringLiteral("saveset.dat");
inline const QString kSoundModeWave = QStringLiteral("WAVE");
inline const QString kSoundModeBeep = QStringLiteral("BEEP");
