#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "ToneComparison.h"
#include "WaveFileCheck.h"

// One run's figures: a row of the printed table.
struct TimingRow {
    QString source;  // "Quillstart" or cw's version
    QString mode;
    QString speed;
    QString unitMs;
    QString adjust;
    QString load;
    ToneComparison tones;
    std::optional<WaveFileCheck> wave;
    std::optional<int> underruns;     // the program's own count of sink underruns
    std::optional<int> qtUnderflows;  // what Qt's PulseAudio output logged meanwhile
    QList<qint64> qtUnderflowAt;      // when, in ms from the lesson's start
    int soundOffs = 0;                // times the program found its stream stalled and went silent
    double seconds = 0;
    double machineBusy = 0;  // share of all CPUs in use during the run
    QString error;           // the run could not be made
};

// The targets: median <= 0.1 ms and maximum <= 0.5 ms for edges, tone lengths, gaps and
// closing gaps, every tone found, no dropout, sound on throughout. Empty when all are met.
QStringList MissedTargets(const TimingRow& row);

// A Markdown table, printed row by row as the runs end.
void PrintTableHeader();
void PrintRow(const TimingRow& row);
// Notes on the rows printed so far (where Qt's underflows fell).
void PrintNotes();
