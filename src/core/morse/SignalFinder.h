#pragma once

#include <optional>
#include <span>

// Where a keyed signal is in sound: the pitch, between 200 and 1,500 Hz, that holds the most
// power over the stretch given, found to about 5 Hz (well inside a decoding filter's width).
// Nothing when no pitch stands clear of the others (noise alone, or silence).
std::optional<double> StrongestPitch(std::span<const float> samples, int sampleRate);
