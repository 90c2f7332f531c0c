#include "core/morse/SoundDecimator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kTargetRate = 8000;
constexpr double kCutoffHz = 3400;
constexpr int kTapsPerFactor = 12;

}  // namespace

SoundDecimator::SoundDecimator(int sampleRate)
    : m_rate(std::max(sampleRate, 1)), m_factor(std::max(1, m_rate / kTargetRate)) {
    if (m_rate <= 12000) {
        m_factor = 1;
        return;
    }
    const int taps = kTapsPerFactor * m_factor + 1;
    const double middle = (taps - 1) / 2.0;
    const double cutoff = kCutoffHz / m_rate;
    double sum = 0;
    for (int n = 0; n < taps; ++n) {
        const double x = n - middle;
        const double sinc =
            x == 0 ? 2 * cutoff
                   : std::sin(2 * std::numbers::pi * cutoff * x) / (std::numbers::pi * x);
        const double blackman = 0.42 - 0.5 * std::cos(2 * std::numbers::pi * n / (taps - 1)) +
                                0.08 * std::cos(4 * std::numbers::pi * n / (taps - 1));
        m_taps.push_back(static_cast<float>(sinc * blackman));
        sum += sinc * blackman;
    }
    for (float& tap : m_taps) {
        tap = static_cast<float>(tap / sum);
    }
    m_history.assign(m_taps.size(), 0.0f);
}

std::vector<float> SoundDecimator::add(std::span<const float> samples) {
    if (m_factor == 1) {
        return {samples.begin(), samples.end()};
    }
    std::vector<float> out;
    out.reserve(samples.size() / static_cast<size_t>(m_factor) + 1);
    const size_t taps = m_taps.size();
    for (const float sample : samples) {
        // The newest sample last; the history shifts only by whole outputs' worth below.
        m_history.push_back(std::isfinite(sample) ? sample : 0.0f);
        if (++m_phase < static_cast<size_t>(m_factor)) {
            continue;
        }
        m_phase = 0;
        const float* newest = m_history.data() + m_history.size() - taps;
        float sum = 0;
        for (size_t k = 0; k < taps; ++k) {
            sum += m_taps[k] * newest[k];
        }
        out.push_back(sum);
        m_history.erase(m_history.begin(), m_history.end() - static_cast<std::ptrdiff_t>(taps));
    }
    return out;
}
