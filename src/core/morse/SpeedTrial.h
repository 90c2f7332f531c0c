#pragma once

#include <optional>
#include <span>

// A keyed signal's pitch made exact enough for each mark to be heard as one tone of constant
// phase: between neighbouring blocks of the sound noise turns the phase at random, the tone by
// as much as the pitch is off. A pitch more than 25 Hz off is not refined.
double RefinedPitch(std::span<const float> samples, int sampleRate, double pitchHz);

// The speed, as a dot in ms, that explains a stretch of keyed sound best, of a ladder from 5 to
// 60 WPM, each 12 % faster than the last: each is decoded whole characters at a time on the
// same blocks, so their likelihoods compare. Nothing for too little sound.
std::optional<double> LikeliestDotMs(std::span<const float> samples, int sampleRate,
                                     double pitchHz);
