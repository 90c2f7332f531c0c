#include "core/sound/ToneShaper.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ToneShaper {

namespace {

// 0 at t = 0, one half at the edge's middle, 1 at t = kEdgeSamples.
double RisingEdge(double t) {
    if (t <= 0) {
        return 0.0;
    }
    if (t >= kEdgeSamples) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(std::numbers::pi * t / kEdgeSamples);
}

}  // namespace

double Envelope(qint64 i, qint64 lengthSamples) {
    const qint64 total = lengthSamples + kEdgeSamples;
    // A tone shorter than its edges peaks lower instead of growing longer.
    return std::min(RisingEdge(static_cast<double>(i)), RisingEdge(static_cast<double>(total - i)));
}

QVector<qint16> ShapedTone(int frequencyHz, qint64 lengthSamples, int sampleRate) {
    if (lengthSamples <= 0) {
        return {};
    }
    QVector<qint16> samples(lengthSamples + kEdgeSamples, 0);
    if (frequencyHz <= 0 || sampleRate <= 0 || 2 * static_cast<qint64>(frequencyHz) >= sampleRate) {
        return samples;
    }
    const double step = 2 * std::numbers::pi * frequencyHz / sampleRate;
    for (qint64 i = 0; i < samples.size(); ++i) {
        const double value = kAmplitude * Envelope(i, lengthSamples) * std::sin(step * i);
        samples[i] = static_cast<qint16>(std::lround(value));
    }
    return samples;
}

}  // namespace ToneShaper
