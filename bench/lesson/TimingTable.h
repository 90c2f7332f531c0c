#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "FreeTimeline.h"
#include "ToneComparison.h"
#include "WaveFileCheck.h"

// One lesson's figures: a row of the printed table.
struct TimingRow {
    QString mode;  // "beep" or "WAV"
    int speed = 0;
    int unitMs = 0;
    int adjust = 0;
    QString condition;
    ToneComparison tones;
    std::optional<WaveFileCheck> wave;
    int underruns = 0;  // the program's own count of the server running dry with sound waiting
    int soundOffs = 0;  // times the program found its stream stalled and went silent
    // ms from each character's start at the output (a beep's first edge, a WAV file's first
    // sample) to its label on screen
    QList<double> labelDelays;
    double programCpu = 0;  // share of one core, the program's threads
    double windowCpu = 0;   // share of one core, its window thread
    double windowMsPerSign = 0;
    double machineBusy = 0;    // share of all CPUs in use, whoever used them
    double loadAverage = 0;    // the 1-minute load average at the end
    double clockSpreadMs = 0;  // how exactly the recorder knew the output's moments
    double seconds = 0;
    QString readerSummary;  // what the reading client did meanwhile
    QString error;          // the run could not be made
    // Played under band conditions with a background: the edges in the mix are noise-bound and
    // printed, not judged.
    bool inNoise = false;
    // A speed of its own (speed and unitMs are then not used), and its own figures.
    std::optional<FreeLessonSpeed> free;
    FreeFigures freeFigures;
};

// Targets: every tone found and paired, no hole, no underrun, sound on throughout, edges and
// (in WAV mode) closing gaps with a median within 0.02 ms and none beyond 0.05 ms, the files'
// shape in the recording; at 25/4, the published gaps. Empty when all are met.
QStringList MissedTargets(const TimingRow& row);

// A Markdown table, printed row by row as the runs end.
void PrintTableHeader();
void PrintRow(const TimingRow& row);
// The same for speeds of their own, with their own figures before the targets.
void PrintFreeTableHeader();
void PrintFreeRow(const TimingRow& row);

// For each setting of a condition: how many runs met every target, the worst figures over them,
// and the labels' delays over all of them.
void PrintSummary(const QString& condition, const QList<TimingRow>& rows);

// p-quantile (0 … 1) of the values; 0 for none.
double Quantile(QList<double> values, double p);
