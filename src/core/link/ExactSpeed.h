#pragma once

#include <QString>
#include <optional>

#include "core/morse/FreeSpeed.h"

// A speed of its own on the link. The original program knows only the three codes of message
// type 4 and ignores any other payload of it, so a speed of its own goes out as the nearest code
// (which every peer follows) and then as a second type 4 message, "WPM1 c=20 e=10 w=0", that
// only this program reads. Its second byte is a letter, so the receiver never mistakes it for
// one-character messages joined by TCP. The "1" is the form's version: a later form is ignored
// by this one, as the original ignores all of them.
QString ExactSpeedPayload(const FreeSpeed& speed);
// The speed of a payload in exactly that form; nothing for anything else.
std::optional<FreeSpeed> ParseExactSpeedPayload(const QString& payload);
// How the role labels show it: "20WPM", "25/4WPM", "20WPM+3".
QString ExactSpeedCaption(const FreeSpeed& speed);
