#include "core/morse/DurationClusters.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// What a split into more groups must leave of the squared spread of fewer groups.
constexpr double kClearlyBetter = 0.8;

// Sum of squared deviations of sorted[from, to) from their mean, from prefix sums.
struct PrefixSums {
    explicit PrefixSums(const std::vector<double>& sorted) {
        sum.push_back(0);
        squares.push_back(0);
        for (double value : sorted) {
            sum.push_back(sum.back() + value);
            squares.push_back(squares.back() + value * value);
        }
    }
    double mean(std::size_t from, std::size_t to) const {
        return (sum[to] - sum[from]) / static_cast<double>(to - from);
    }
    double cost(std::size_t from, std::size_t to) const {
        const double s = sum[to] - sum[from];
        return squares[to] - squares[from] - s * s / static_cast<double>(to - from);
    }
    std::vector<double> sum;
    std::vector<double> squares;
};

// The cheapest acceptable split into two groups, or three: the longer group of the best split
// into two split once more. The many short values (dots, element gaps) spread widely under
// jitter; were all three groups sought at once, cutting through them could cost less than
// parting the few long ones where they differ. Empty when none is acceptable.
std::vector<double> BestSplit(const PrefixSums& sums, std::size_t n, int groups,
                              const DurationWindow::Acceptable& acceptable, double& best) {
    best = std::numeric_limits<double>::max();
    std::vector<double> bestCentres;
    std::size_t bestCut = 0;
    auto consider = [&](double cost, std::vector<double> centres, std::size_t cut,
                        const std::vector<std::size_t>& sizes) {
        if (cost < best && acceptable(centres, sizes)) {
            best = cost;
            bestCentres = std::move(centres);
            bestCut = cut;
        }
    };
    for (std::size_t cut = 1; cut < n; ++cut) {
        consider(sums.cost(0, cut) + sums.cost(cut, n), {sums.mean(0, cut), sums.mean(cut, n)}, cut,
                 {cut, n - cut});
    }
    if (groups == 2 || bestCut == 0) {
        return groups == 2 ? bestCentres : std::vector<double>{};
    }
    const std::size_t first = bestCut;
    best = std::numeric_limits<double>::max();
    bestCentres.clear();
    for (std::size_t second = first + 1; second < n; ++second) {
        consider(sums.cost(0, first) + sums.cost(first, second) + sums.cost(second, n),
                 {sums.mean(0, first), sums.mean(first, second), sums.mean(second, n)}, second,
                 {first, second - first, n - second});
    }
    return bestCentres;
}

}  // namespace

void DurationWindow::add(double logMs) {
    m_values.push_back(logMs);
    if (m_values.size() > m_capacity) {
        m_values.pop_front();
    }
}

std::optional<double> DurationWindow::shortest() const {
    if (m_values.empty()) {
        return std::nullopt;
    }
    return *std::min_element(m_values.begin(), m_values.end());
}

DurationGroups DurationWindow::groups(int maxGroups, double minRatio,
                                      const Acceptable& acceptable) const {
    if (m_values.empty()) {
        return {};
    }
    std::vector<double> sorted(m_values.begin(), m_values.end());
    std::sort(sorted.begin(), sorted.end());
    const PrefixSums sums(sorted);
    const double minLogRatio = std::log(minRatio);
    auto valid = [&](const std::vector<double>& centres, const std::vector<std::size_t>& sizes) {
        for (std::size_t i = 1; i < centres.size(); ++i) {
            if (centres[i] - centres[i - 1] < minLogRatio) {
                return false;
            }
        }
        return !acceptable || acceptable(centres, sizes);
    };
    // More groups only where they explain the spread clearly better than fewer did, so that
    // an acceptable but poor split of a few alike values is not taken for structure.
    DurationGroups result{{sums.mean(0, sorted.size())}};
    double resultCost = sums.cost(0, sorted.size());
    for (int k = 2; k <= std::min<int>({maxGroups, 3, static_cast<int>(sorted.size())}); ++k) {
        double cost = 0;
        std::vector<double> centres = BestSplit(sums, sorted.size(), k, valid, cost);
        if (!centres.empty() && cost < kClearlyBetter * resultCost) {
            result.centres = std::move(centres);
            resultCost = cost;
        }
    }
    return result;
}
