#pragma once

#include <QVector>

// The blocking tone's samples: a sine whose raised-cosine edges are centred on the nominal
// start and end, so the tone sounds exactly as long as asked and does not click.
namespace ToneShaper {

// Edge length in samples (about 2.5 ms at 44100 Hz); even, so each edge is split evenly
// around its nominal point.
inline constexpr int kEdgeSamples = 110;
inline constexpr int kAmplitude = 10000;

// lengthSamples + kEdgeSamples samples; the nominal start lies kEdgeSamples / 2 after the
// first one. A frequency the output cannot make (<= 0 or at or above half the rate) gives
// silence of the same length, so the timing is kept.
QVector<qint16> ShapedTone(int frequencyHz, qint64 lengthSamples, int sampleRate);

// The envelope (0 … 1) at sample i of such a tone.
double Envelope(qint64 i, qint64 lengthSamples);

}  // namespace ToneShaper
