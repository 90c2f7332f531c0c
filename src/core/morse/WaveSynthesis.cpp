#include "core/morse/WaveSynthesis.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

// Nearest, ties to even, held within 16 bits.
qint16 Round16(double value) {
    const double rounded = std::nearbyint(value);
    return static_cast<qint16>(std::clamp(rounded, double(std::numeric_limits<qint16>::min()),
                                          double(std::numeric_limits<qint16>::max())));
}

qsizetype RoundIndex(double value) {
    return static_cast<qsizetype>(std::nearbyint(value));
}

// Writes the tone's n + 1 samples to out (count = n + 1).
void SynthesizeInto(qint16* out, qsizetype count, int sampleRate, double amplitude,
                    const ToneSynthParams& params) {
    const double rate = sampleRate;
    const double f = params.frequency;
    // Full strength up to 0.45 R, fading to nothing at R / 2.
    const double band = std::clamp((rate / 2 - f) * 20 / rate, 0.0, 1.0);
    // Makes up for the sample-and-hold loss; 1 in the limit x -> 0 (a frequency
    // of 0 must not divide by zero).
    const double x = std::numbers::pi * f / rate;
    const double sinX = std::sin(x);
    const double compensation = std::abs(sinX) > 1e-12 ? x / sinX : 1.0;
    const double peak = std::pow(10.0, params.gain / 20) * amplitude;
    if (band == 0.0 || !std::isfinite(compensation)) {
        std::fill(out, out + count, qint16(0));
        return;
    }
    const double scale = compensation * band * peak;
    const double step = 2 * std::numbers::pi * f;
    for (qsizetype i = 0; i < count; ++i) {
        out[i] = Round16(scale * std::sin(step * (double(i) + 0.5) / rate + params.phase));
    }

    const qsizetype n = count - 1;
    if (params.rampIn != 0) {
        const double m = rate * params.rampIn / 1000;
        const qsizetype last = std::min(RoundIndex(m - 1), n);
        for (qsizetype i = 0; i <= last; ++i) {
            out[i] = Round16(double(i) / m * out[i]);
        }
    }
    if (params.rampOut != 0) {
        const double m = rate * params.rampOut / 1000;
        // A tone shorter than its ramps: the ramp-out scales the ramp-in's samples again.
        for (qsizetype i = std::max<qsizetype>(RoundIndex(double(n) - m), 0); i <= n; ++i) {
            out[i] = Round16(double(n - i) / m * out[i]);
        }
    }
}

qsizetype ToneSampleCount(int sampleRate, double durationMs) {
    const qsizetype n = RoundIndex(double(sampleRate) * durationMs / 1000 - 1);
    return std::max<qsizetype>(n + 1, 0);
}

}  // namespace

double RampForQuality(int level) {
    switch (level) {
        case 1:
            return 60;
        case 2:
            return 35;
        case 3:
            return 20;
        case 4:
            return 8;
        default:
            return 0;
    }
}

double GainForVolume(int level) {
    switch (level) {
        case 2:
            return 2;
        case 3:
            return 5;
        case 4:
            return 8;
        case 5:
            return 10;
        default:
            return 0;
    }
}

void SynthesizeTone(SampleBuffer& buffer, int sampleRate, double amplitude,
                    const ToneSynthParams& params) {
    buffer.resize(ToneSampleCount(sampleRate, params.duration));
    SynthesizeInto(buffer.data(), buffer.size(), sampleRate, amplitude, params);
}

void BuildElement(SampleBuffer& buffer, const ElementSpec& element) {
    ToneSynthParams params;
    params.frequency = element.frequency;
    params.duration = element.durationMs;
    params.rampIn = RampForQuality(element.quality);
    params.rampOut = params.rampIn;
    params.gain = GainForVolume(element.volume);

    const qsizetype lead =
        std::max<qsizetype>(RoundIndex(kWaveSampleRate * double(element.leadMs) / 1000), 0);
    const qsizetype tone = ToneSampleCount(kWaveSampleRate, params.duration);
    // The tone is synthesised in place behind the silence rather than moved up.
    buffer.resize(lead + tone);
    std::fill(buffer.begin(), buffer.begin() + lead, qint16(0));
    SynthesizeInto(buffer.data() + lead, tone, kWaveSampleRate, kWaveBaseAmplitude, params);
}
