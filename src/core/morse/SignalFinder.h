#pragma once

#include <optional>
#include <span>

// Where a keyed signal is in sound: the pitch, between 200 and 1,500 Hz, that holds the most
// power over the stretch given (a waterfall's rows averaged alike), found to well under a bin
// of 5 Hz. Nothing when no pitch stands clear of the others (noise alone, or silence), or the
// stretch is too short to tell.
std::optional<double> StrongestPitch(std::span<const float> samples, int sampleRate);
