#pragma once

#include <QList>
#include <QString>
#include <vector>

#include "core/morse/MorseDecoder.h"

// One kind of mark or gap, in units of the learner's own mean dot.
struct TimingFigure {
    int count = 0;
    double units = 0;   // mean length
    double spread = 0;  // standard deviation
};

// A sign whose elements strayed furthest from the 1 : 3 : 1 pattern at the learner's speed.
struct CharacterTiming {
    QString text;
    int count = 0;
    double deviation = 0;  // mean relative error of its marks and element gaps (0.2 = 20 %)
};

// How the learner keyed: speed and the proportions of marks and gaps against 1, 3, 1, 3 and 7.
struct FistReport {
    double wpm = 0;  // from the mean dot (1200 / dot ms)
    double dotMs = 0;
    TimingFigure dot;   // units 1 by definition; the spread is the dots' own
    TimingFigure dash;  // units is the dash : dot ratio
    TimingFigure elementGap;
    TimingFigure characterGap;
    TimingFigure wordGap;
    // Signs off by kLargeDeviation or more, worst first, at most three; none for an even fist.
    // Under it an unevenness is hardly heard (the ear tells tone lengths apart from about a
    // tenth), and it is a third of the way to a misread sign (a dash 42 % short, under the
    // geometric mean of 1 and 3 units, reads as a dot).
    static constexpr double kLargeDeviation = 0.15;
    std::vector<CharacterTiming> furthestOff;
    // For the picture: how many marks and gaps fell in each bin of kBinUnits from 0 (the last
    // bin takes everything longer).
    static constexpr double kBinUnits = 0.25;
    static constexpr int kBins = 40;
    std::vector<int> markHistogram;
    std::vector<int> gapHistogram;
};

FistReport MakeFistReport(const std::vector<DecodedElement>& elements,
                          const std::vector<DecodedCharacter>& characters);

// One line of the report's table: what, the learner's figure, the standard.
struct FistReportRow {
    QString caption;
    QString value;
    QString standard;
};

QList<FistReportRow> FistReportRows(const FistReport& report);
