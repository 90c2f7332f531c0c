#include "ToneComparison.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHoleUnits = 0.4;
constexpr qsizetype kLargestShift = 3;

double Length(const ToneEdges& tone) {
    return tone.endMs - tone.startMs;
}

QList<ToneEdges> Joined(const QList<ToneEdges>& tones, double holeMs, int& holes) {
    QList<ToneEdges> joined;
    for (const ToneEdges& tone : tones) {
        if (!joined.isEmpty() && tone.startMs - joined.last().endMs < holeMs) {
            joined.last().endMs = tone.endMs;
            ++holes;
        } else {
            joined.append(tone);
        }
    }
    return joined;
}

// Recorded index = nominal index + shift.
bool Agree(const QList<ToneEdges>& recorded, const QList<ToneEdges>& nominal, qsizetype i,
           qsizetype shift, double unitMs) {
    const qsizetype j = i + shift;
    return j >= 0 && j < recorded.size() &&
           std::abs(Length(recorded[j]) - Length(nominal[i])) < unitMs;
}

qsizetype BestShift(const QList<ToneEdges>& recorded, const QList<ToneEdges>& nominal,
                    double unitMs) {
    qsizetype best = 0;
    qsizetype bestCount = -1;
    for (qsizetype shift = -kLargestShift; shift <= kLargestShift; ++shift) {
        qsizetype count = 0;
        for (qsizetype i = 0; i < nominal.size(); ++i) {
            count += Agree(recorded, nominal, i, shift, unitMs) ? 1 : 0;
        }
        if (count > bestCount || (count == bestCount && std::abs(shift) < std::abs(best))) {
            best = shift;
            bestCount = count;
        }
    }
    return best;
}

}  // namespace

ToneComparison CompareTones(const QList<ToneEdges>& recorded, const QList<ToneEdges>& nominal,
                            double unitMs) {
    ToneComparison out;
    out.expected = nominal.size();
    out.joined = Joined(recorded, kHoleUnits * unitMs, out.holes);
    out.found = out.joined.size();
    const qsizetype shift = BestShift(out.joined, nominal, unitMs);
    out.pairOf.fill(-1, nominal.size());
    for (qsizetype i = 0; i < nominal.size(); ++i) {
        if (Agree(out.joined, nominal, i, shift, unitMs)) {
            out.pairOf[i] = i + shift;
            ++out.matched;
        }
    }
    bool aligned = false;
    double offset = 0;  // recorded minus nominal, at the first pair's start
    for (qsizetype i = 0; i < nominal.size(); ++i) {
        const qsizetype j = out.pairOf[i];
        if (j < 0) {
            continue;
        }
        const ToneEdges& got = out.joined[j];
        if (aligned) {
            out.edgeErrors.append(got.startMs - nominal[i].startMs - offset);
        } else {
            aligned = true;
            offset = got.startMs - nominal[i].startMs;
        }
        out.edgeErrors.append(got.endMs - nominal[i].endMs - offset);
        out.lengthErrors.append(Length(got) - Length(nominal[i]));
        if (i > 0 && out.pairOf[i - 1] >= 0) {
            const ToneEdges& before = out.joined[out.pairOf[i - 1]];
            out.gapErrors.append((got.startMs - before.endMs) -
                                 (nominal[i].startMs - nominal[i - 1].endMs));
        }
    }
    return out;
}

double MedianMagnitude(const QList<double>& errors) {
    if (errors.isEmpty()) {
        return 0;
    }
    QList<double> magnitudes;
    for (double error : errors) {
        magnitudes.append(std::abs(error));
    }
    std::sort(magnitudes.begin(), magnitudes.end());
    const qsizetype n = magnitudes.size();
    return n % 2 == 1 ? magnitudes[n / 2] : (magnitudes[n / 2 - 1] + magnitudes[n / 2]) / 2;
}

double MaxMagnitude(const QList<double>& errors) {
    double largest = 0;
    for (double error : errors) {
        largest = std::max(largest, std::abs(error));
    }
    return largest;
}
