#pragma once

#include <QString>

// Text from the peer as this window shows it. A control character would break a log line or end
// the accessible text early, so each shows as a visible sign instead (U+2400 … U+2421 for C0 and
// DEL, U+FFFD for C1 controls and the Unicode line and paragraph separators).
QString ShownPeerText(const QString& text);

// The peer's callsign as stored and shown: visible signs as above, cut to kShownCallsignLength
// characters with "…" after it when it is longer.
inline constexpr int kShownCallsignLength = 20;
QString ShownPeerCallsign(const QString& callsign);
