#pragma once

#include <QString>
#include <optional>

inline constexpr int kLowestTone = 100;
inline constexpr int kHighestTone = 6000;

// Typing into the tone box keeps only the digits and Backspace.
bool IsAllowedToneCharacter(QChar typed);

// The check made when the tone box loses the focus: below the range becomes
// "100", above it "6000", anything else stays as typed. An empty box counts as 0.
QString ToneRangeChecked(const QString& text);

// The frequency a generator sounds for the tone text. The box may hold text the
// range check has not seen yet (empty, too long, from the settings file): it is
// treated as out of range and held to the nearest end.
int ToneFrequencyForSound(const QString& text);

// The tone as the settings file stores it: a whole number within 16 bits.
std::optional<qint16> ToneTextAsInt16(const QString& text);
