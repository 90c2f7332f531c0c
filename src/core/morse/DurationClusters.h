#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Groups of similar durations, found afresh from a window of recent values: the best split of
// the sorted log durations into k groups (least squares, tried exhaustively, which is cheap for
// a few dozen values). Splits whose neighbouring groups lie closer than a ratio are refused,
// so one group of jittered dots never passes for dots and dashes, and more groups are taken
// only where they leave clearly less spread than fewer did.
struct DurationGroups {
    std::vector<double> centres;  // log ms, ascending; empty when there are no values
};

class DurationWindow {
  public:
    explicit DurationWindow(std::size_t capacity) : m_capacity(capacity) {}

    void add(double logMs);
    std::size_t size() const { return m_values.size(); }
    // The smallest value held; none when empty.
    std::optional<double> shortest() const;

    // Centres and how many values each group holds.
    using Acceptable = std::function<bool(const std::vector<double>& centres,
                                          const std::vector<std::size_t>& sizes)>;

    // The best split into at most maxGroups groups whose neighbouring centres differ by at least
    // minRatio and that the caller finds acceptable (what it knows of the sender besides).
    DurationGroups groups(int maxGroups, double minRatio, const Acceptable& acceptable = {}) const;

  private:
    std::size_t m_capacity;
    std::deque<double> m_values;
};
