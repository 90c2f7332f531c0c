#pragma once

#include <QString>

// Debian's cw (unixcw), the reference: plays text through PulseAudio's default sink.
namespace CwPlayer {

// cw's speed is whole words per minute, 4 ... 60, with a dot of 1200 / wpm ms (PARIS).
int WpmForUnit(double unitMs);
double UnitForWpm(int wpm);

// "cw version 3.6.0", or empty when cw is missing.
QString Version();

// Returns when cw has sent the text and ended; false with the reason when it did not.
bool Play(const QString& text, int wpm, int toneHz, QString& error);

}  // namespace CwPlayer
