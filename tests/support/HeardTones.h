#pragma once

#include <cmath>
#include <numeric>

#include "support/RecordingSoundOutput.h"

// A tone as heard: its edges in samples from the first sound, and its peak against the loudest.
struct HeardTone {
    double start, end, level;
};

// Beep tones as planned; WAV tones where their envelope crosses half the loudest peak: their power
// averaged twice over a period (50 samples at 882 Hz), which leaves no ripple on a ramp.
inline QList<HeardTone> HeardTones(const RecordingSoundOutput& output, qsizetype period = 50) {
    const SoundPosition origin = output.events().constFirst().position;
    QList<HeardTone> tones;
    QList<double> power(output.events().constLast().end - origin, 0.0);
    for (const auto& event : output.events()) {
        if (event.kind == RecordingSoundOutput::Kind::Tone) {
            tones.append({double(event.position - origin), double(event.end - origin), 1});
        }
        for (qsizetype i = 0; i < event.samples.size(); ++i) {
            power[event.position - origin + i] = 2 * std::pow(event.samples[i], 2);
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        std::partial_sum(power.begin(), power.end(), power.begin());
        for (qsizetype i = 0; i + period < power.size(); ++i) {
            power[i] = (power[i + period] - power[i]) / double(period);
        }
        power.resize(std::max<qsizetype>(power.size() - period, 1));
    }
    const double half = std::sqrt(*std::max_element(power.begin(), power.end())) / 2;
    double start = 0, loudest = 0;
    for (qsizetype i = 1; half > 0 && i < power.size(); ++i) {
        const double before = std::sqrt(power[i - 1]), after = std::sqrt(power[i]);
        const double crossing = double(i - 1 + period) + (half - before) / (after - before);
        loudest = before < half ? 0 : std::max(loudest, before);
        if (before < half && after >= half) {
            start = crossing;
        } else if (before >= half && after < half) {
            tones.append({start, crossing, loudest / half / 2});
        }
    }
    return tones;
}
