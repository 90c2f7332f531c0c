#pragma once

#include <QList>

#include "MonitorRecording.h"

// The recorded tones against the nominal ones, paired in order.
struct ToneComparison {
    qsizetype expected = 0;
    qsizetype found = 0;    // recorded tones, once split ones are joined
    qsizetype matched = 0;  // pairs whose lengths agree to within a unit
    int holes = 0;          // silences inside a tone: dropouts as the recording shows them
    QList<ToneEdges> joined;
    QList<qsizetype> pairOf;     // for each nominal tone, its recorded tone or -1
    QList<double> edgeErrors;    // ms, both timelines aligned on the first pair's start
    QList<double> lengthErrors;  // ms, each paired tone's length
    QList<double> gapErrors;     // ms, the silence between consecutive paired tones
};

// Joins recorded tones split by less than 0.4 unit (a dropout), then pairs them with the
// nominal ones by position, shifted by the few tones either side that agrees best (a lost
// or extra first tone).
ToneComparison CompareTones(const QList<ToneEdges>& recorded, const QList<ToneEdges>& nominal,
                            double unitMs);

// Median and maximum of the errors' magnitudes; 0 for none.
double MedianMagnitude(const QList<double>& errors);
double MaxMagnitude(const QList<double>& errors);
