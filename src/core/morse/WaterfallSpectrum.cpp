#include "core/morse/WaterfallSpectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kWaterfallFloorDb = -140;

}  // namespace

WaterfallSpectrum::WaterfallSpectrum(int sampleRate, double recentSeconds)
    : m_rate(sampleRate), m_recentSeconds(recentSeconds > 0 ? recentSeconds : kRecentSeconds) {
    if (sampleRate < kLowestRate || sampleRate > kHighestRate) {
        return;
    }
    const int length = static_cast<int>(std::lround(sampleRate / kBinHz));
    m_fft = std::make_unique<RealFft>(length);
    m_hop = length / 2;
    const double spacing = static_cast<double>(sampleRate) / length;
    m_firstBin = static_cast<int>(std::ceil(kLowestHz / spacing));
    m_binCount = static_cast<int>(std::floor(kHighestHz / spacing)) - m_firstBin + 1;
    m_window.resize(static_cast<size_t>(length));
    double sum = 0;
    for (int n = 0; n < length; ++n) {
        m_window[static_cast<size_t>(n)] =
            static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / length));
        sum += m_window[static_cast<size_t>(n)];
    }
    // A sine of amplitude A gives |X| = A × sum / 2 at its bin.
    m_scale = 4 / (sum * sum);
    m_average.assign(static_cast<size_t>(m_binCount), 0);
}

double WaterfallSpectrum::binSpacingHz() const {
    return isValid() ? static_cast<double>(m_rate) / m_fft->length() : 0;
}

double WaterfallSpectrum::frequencyOf(int bin) const {
    return (m_firstBin + bin) * binSpacingHz();
}

int WaterfallSpectrum::binOf(double hz) const {
    if (!isValid() || !std::isfinite(hz)) {
        return -1;
    }
    const long bin = std::lround(hz / binSpacingHz()) - m_firstBin;
    return bin >= 0 && bin < m_binCount ? static_cast<int>(bin) : -1;
}

std::vector<WaterfallSpectrum::Row> WaterfallSpectrum::add(std::span<const float> samples) {
    std::vector<Row> rows;
    if (!isValid()) {
        return rows;
    }
    for (const float sample : samples) {
        m_pending.push_back(std::isfinite(sample) ? sample : 0.0f);
    }
    const auto length = static_cast<size_t>(m_fft->length());
    size_t at = 0;
    for (; m_pending.size() - at >= length; at += static_cast<size_t>(m_hop)) {
        rows.push_back(nextRow(std::span(m_pending).subspan(at, length)));
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(at));
    return rows;
}

WaterfallSpectrum::Row WaterfallSpectrum::nextRow(std::span<const float> window) {
    const std::span<float> input = m_fft->input();
    for (size_t n = 0; n < input.size(); ++n) {
        input[n] = window[n] * m_window[n];
    }
    const std::span<const std::complex<float>> bins = m_fft->transform();
    ++m_rows;
    // A mean of the rows so far until there are as many as the memory holds, then a running one.
    const double weight =
        std::max(1.0 / static_cast<double>(m_rows), m_hop / (m_recentSeconds * m_rate));
    Row row(static_cast<size_t>(m_binCount), static_cast<float>(kWaterfallFloorDb));
    for (int bin = 0; bin < m_binCount && !bins.empty(); ++bin) {
        const double power = std::norm(bins[static_cast<size_t>(m_firstBin + bin)]) * m_scale;
        double& average = m_average[static_cast<size_t>(bin)];
        average += weight * (power - average);
        if (power > 0) {
            row[static_cast<size_t>(bin)] =
                static_cast<float>(std::max(kWaterfallFloorDb, 10 * std::log10(power)));
        }
    }
    return row;
}

std::vector<SpectrumPeak> WaterfallSpectrum::strongestPitches(int maxCount) const {
    const double heardSeconds = static_cast<double>(m_rows * m_hop) / std::max(m_rate, 1);
    if (!isValid() || heardSeconds < kSettledSeconds) {
        return {};
    }
    return StrongestPeaks(m_average, frequencyOf(0), binSpacingHz(), maxCount);
}
