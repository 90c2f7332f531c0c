#include "core/morse/SpectrumPeaks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPeakOverFloorDb = 6;
constexpr double kPeaksApartHz = 40;
constexpr double kQuietestPower = 1e-30;

double DecibelsOf(double power) {
    return 10 * std::log10(std::max(power, kQuietestPower));
}

}  // namespace

std::vector<SpectrumPeak> StrongestPeaks(std::span<const double> powers, double firstHz,
                                         double stepHz, int maxCount) {
    if (powers.size() < 3 || maxCount <= 0 || !(stepHz > 0)) {
        return {};
    }
    std::vector<double> sorted(powers.begin(), powers.end());
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double least = sorted[sorted.size() / 2] * std::pow(10, kPeakOverFloorDb / 10);
    std::vector<size_t> candidates;
    for (size_t bin = 0; bin < powers.size(); ++bin) {
        const bool overLeft = bin == 0 || powers[bin] > powers[bin - 1];
        const bool overRight = bin + 1 == powers.size() || powers[bin] >= powers[bin + 1];
        if (overLeft && overRight && powers[bin] > least && powers[bin] > kQuietestPower) {
            candidates.push_back(bin);
        }
    }
    std::sort(candidates.begin(), candidates.end(),
              [&](size_t a, size_t b) { return powers[a] > powers[b]; });
    std::vector<SpectrumPeak> peaks;
    for (const size_t bin : candidates) {
        if (static_cast<int>(peaks.size()) == maxCount) {
            break;
        }
        // At an edge the bin itself stands for its missing neighbour: no bend, no shift.
        const double level = DecibelsOf(powers[bin]);
        const double left = bin > 0 ? DecibelsOf(powers[bin - 1]) : level;
        const double right = bin + 1 < powers.size() ? DecibelsOf(powers[bin + 1]) : level;
        const double bend = left - 2 * level + right;
        const double offset = bend < 0 ? std::clamp(0.5 * (left - right) / bend, -0.5, 0.5) : 0;
        const SpectrumPeak peak{firstHz + (static_cast<double>(bin) + offset) * stepHz,
                                level - 0.25 * (left - right) * offset};
        const bool apart = std::all_of(peaks.begin(), peaks.end(), [&](const SpectrumPeak& other) {
            return std::abs(other.hz - peak.hz) >= kPeaksApartHz;
        });
        if (apart) {
            peaks.push_back(peak);
        }
    }
    return peaks;
}
