#include "core/sound/BandFading.h"
#include "core/sound/SampleMath.h"

#include <cmath>
#include <numbers>

#include "core/sound/BandRandom.h"

namespace {

// The standard normal quantile, by bisection on erfc: used only to lay out the phasors.
double NormalQuantile(double p) {
    double low = -10;
    double high = 10;
    for (int i = 0; i < 100; ++i) {
        const double mid = (low + high) / 2;
        const double cdf = 0.5 * std::erfc(-mid / std::numbers::sqrt2);
        (cdf < p ? low : high) = mid;
    }
    return (low + high) / 2;
}

}  // namespace

BandFading::BandFading(quint64 seed, double spreadHz) {
    // One phasor in each of kPhasors equally likely bins of the Doppler spectrum, at a place in
    // its bin drawn from the seed, then scaled so the RMS frequency is exactly half the spread.
    std::vector<double> hz;
    double meanSquare = 0;
    for (int n = 0; n < kPhasors; ++n) {
        const double u = BandRandom::Uniform(seed, BandRandom::kFading, 2 * n);
        const double f = NormalQuantile((n + 0.05 + 0.9 * u) / kPhasors);
        hz.push_back(f);
        meanSquare += f * f / kPhasors;
    }
    const double scale = meanSquare > 0 ? spreadHz / 2 / std::sqrt(meanSquare) : 0;
    for (int n = 0; n < kPhasors; ++n) {
        m_radiansPerSample.push_back(2 * std::numbers::pi * hz[static_cast<size_t>(n)] * scale /
                                     SoundTimeline::kSampleRate);
        m_phase.push_back(2 * std::numbers::pi *
                          BandRandom::Uniform(seed, BandRandom::kFading, 2 * n + 1));
    }
}

std::complex<double> BandFading::gain(qint64 index) const {
    std::complex<double> sum;
    for (size_t n = 0; n < m_phase.size(); ++n) {
        // The angle wrapped before the cosine, so long lessons keep full precision.
        const double angle =
            std::fmod(m_radiansPerSample[n] * static_cast<double>(index), 2 * std::numbers::pi) +
            m_phase[n];
        sum += std::complex<double>(std::cos(angle), std::sin(angle));
    }
    return sum / std::sqrt(static_cast<double>(m_phase.size()));
}

double BandFading::magnitude(qint64 index) const {
    const qint64 point = FloorDiv(index, kStep);
    const double a = std::abs(gain(point * kStep));
    const double b = std::abs(gain((point + 1) * kStep));
    const double t = static_cast<double>(index - point * kStep) / kStep;
    return a + (b - a) * t;
}
