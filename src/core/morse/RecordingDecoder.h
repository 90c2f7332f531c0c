#pragma once

#include <QString>
#include <optional>
#include <span>

// Copy off a recording: the signal's pitch (given, or the strongest found in it), the keyed tone
// heard through a filter around it, and the timing decoder that learns the fist as it goes.
struct DecodedRecording {
    double pitchHz = 0;
    QString text;
    // As the decoder learned it (1,200 ms over the dot); 0 before it had heard enough.
    double wpm = 0;
};

// Nothing when no signal stands out of the sound.
std::optional<DecodedRecording> DecodeRecording(std::span<const float> samples, int sampleRate,
                                                std::optional<double> pitchHz = std::nullopt);
