#include "core/sound/BandFilter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "core/sound/SoundTimeline.h"

namespace {

constexpr double kFilterRate = SoundTimeline::kSampleRate;

// The bilinear transform's second-order Butterworth sections (Q = 1/sqrt 2).
std::array<double, 5> ButterworthSection(double hz, bool highPass) {
    const double w = 2 * std::numbers::pi * hz / kFilterRate;
    const double alpha = std::sin(w) / std::numbers::sqrt2;
    const double c = std::cos(w);
    const double a0 = 1 + alpha;
    const double b1 = highPass ? -(1 + c) : 1 - c;
    const double b0 = highPass ? (1 + c) / 2 : (1 - c) / 2;
    return {b0 / a0, b1 / a0, b0 / a0, -2 * c / a0, (1 - alpha) / a0};
}

}  // namespace

BandFilter::BandFilter(double centreHz) {
    const double low = std::max(100.0, centreHz - kHalfWidthHz);
    const double high = std::min(kFilterRate / 2 - 1000, centreHz + kHalfWidthHz);
    for (size_t i = 0; i < m_sections.size(); ++i) {
        const auto s = ButterworthSection(i < 2 ? low : high, i < 2);
        m_sections[i] = {s[0], s[1], s[2], s[3], s[4]};
    }
}

void BandFilter::run(double* samples, int count) const {
    for (const Section& s : m_sections) {
        double z1 = 0;
        double z2 = 0;
        for (int i = 0; i < count; ++i) {
            const double x = samples[i];
            const double y = s.b0 * x + z1;
            z1 = s.b1 * x - s.a1 * y + z2;
            z2 = s.b2 * x - s.a2 * y;
            samples[i] = y;
        }
    }
}

double BandFilter::magnitude(double hz) const {
    const std::complex<double> z = std::polar(1.0, -2 * std::numbers::pi * hz / kFilterRate);
    std::complex<double> h = 1;
    for (const Section& s : m_sections) {
        h *= (s.b0 + s.b1 * z + s.b2 * z * z) / (1.0 + s.a1 * z + s.a2 * z * z);
    }
    return std::abs(h);
}

double BandFilter::powerGain(double lowHz, double highHz) const {
    // A white input's one-sided density is 2 / rate of its variance per Hz.
    constexpr double kStepHz = 0.5;
    double sum = 0;
    for (double f = std::max(0.0, lowHz) + kStepHz / 2; f < std::min(highHz, kFilterRate / 2);
         f += kStepHz) {
        const double m = magnitude(f);
        sum += m * m * kStepHz;
    }
    return sum * 2 / kFilterRate;
}

double BandFilter::powerGain() const {
    return powerGain(0, kFilterRate / 2);
}
