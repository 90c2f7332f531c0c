#include "core/sound/BandWave.h"

#include <algorithm>
#include <cmath>

#include "core/sound/SoundTimeline.h"

namespace {

// Where the mark's samples cross zero upwards.
QVector<qsizetype> UpwardCrossings(const QVector<qint16>& mark) {
    QVector<qsizetype> crossings;
    for (qsizetype i = 1; i < mark.size(); ++i) {
        if (mark[i - 1] < 0 && mark[i] >= 0) {
            crossings.append(i);
        }
    }
    return crossings;
}

// Samples per period, or 0 when the mark has fewer than three periods.
double Period(const QVector<qsizetype>& crossings) {
    if (crossings.size() < 4) {
        return 0;
    }
    return static_cast<double>(crossings.last() - crossings.first()) /
           static_cast<double>(crossings.size() - 1);
}

}  // namespace

namespace BandWave {

QVector<qint16> Reweighted(const QVector<qint16>& mark, double factor) {
    const QVector<qsizetype> crossings = UpwardCrossings(mark);
    const double period = Period(crossings);
    if (period <= 0 || !std::isfinite(factor)) {
        return mark;
    }
    const double change = static_cast<double>(mark.size()) * (factor - 1);
    // A period kept on either side, so the edges are the recording's own. Bounded while still a
    // double: a figure beyond the mark never becomes an index.
    const auto most = static_cast<double>(crossings.size() - 3);
    const auto periods =
        static_cast<qsizetype>(std::min(most, std::nearbyint(std::abs(change) / period)));
    if (periods <= 0) {
        return mark;
    }
    const qsizetype first = (crossings.size() - periods) / 2;
    const qsizetype from = crossings[first];
    const qsizetype to = crossings[first + periods];
    // Joined at upward zero crossings: the wave goes on without a step.
    if (change > 0) {
        return mark.mid(0, to) + mark.mid(from);
    }
    return mark.mid(0, from) + mark.mid(to);
}

QVector<qint16> Chirped(const QVector<qint16>& mark, double chirpHz, double decaySamples) {
    const double period = Period(UpwardCrossings(mark));
    if (period <= 0 || chirpHz == 0 || !std::isfinite(chirpHz) || !(decaySamples > 0)) {
        return mark;
    }
    // Read at n + a n e^(-n / tau): faster, then slower, and back in step.
    const double a = chirpHz * period / SoundTimeline::kSampleRate;
    const auto end = static_cast<double>(mark.size());
    QVector<qint16> out(mark.size(), 0);
    for (qsizetype n = 0; n < mark.size(); ++n) {
        const double x = static_cast<double>(n);
        const double at = x + a * x * std::exp(-x / decaySamples);
        // Only a place inside the mark is read; anything else (NaN too) is silence.
        if (!(at >= 0 && at < end)) {
            continue;
        }
        const auto i = static_cast<qsizetype>(at);
        if (i == mark.size() - 1) {
            out[n] = mark[i];
            continue;
        }
        const double t = at - static_cast<double>(i);
        out[n] = static_cast<qint16>(std::lround(mark[i] * (1 - t) + mark[i + 1] * t));
    }
    return out;
}

}  // namespace BandWave
