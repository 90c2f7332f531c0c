#pragma once

#include <QList>
#include <QString>
#include <algorithm>

// A distribution in a line: how many, the median, the 99th percentile, the largest.
struct Spread {
    qsizetype count = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
    double min = 0;
};

inline double QuantileOf(QList<double> values, double p) {
    if (values.isEmpty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<qsizetype>(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

inline Spread SpreadOf(const QList<double>& values) {
    if (values.isEmpty()) {
        return {};
    }
    return {values.size(), QuantileOf(values, 0.5), QuantileOf(values, 0.99),
            *std::max_element(values.begin(), values.end()),
            *std::min_element(values.begin(), values.end())};
}

// "n = 200, median 2.31 ms, p99 4.02 ms, max 4.50 ms (min 1.10 ms)"
inline QString Described(const Spread& spread, int decimals = 2) {
    const auto ms = [decimals](double value) { return QString::number(value, 'f', decimals); };
    return QStringLiteral("n = %1, median %2 ms, p99 %3 ms, max %4 ms (min %5 ms)")
        .arg(spread.count)
        .arg(ms(spread.median), ms(spread.p99), ms(spread.max), ms(spread.min));
}
