#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include "DesktopLoad.h"
#include "MonitorTap.h"
#include "WindowRig.h"

// The program idle with the link up and a sound server: its CPU, by thread.
struct IdleCpuResult {
    double seconds = 0;
    double programMs = 0;
    QMap<QString, double> byThreadName;
    double machineBusy = 0;
};
IdleCpuResult MeasureIdleCpu(WindowRig& rig, const QSet<qint64>& excluded, int seconds);
void PrintIdleCpu(const IdleCpuResult& result);

// The first sound after the output has been idle (its stream corked): from planning it to its
// first edge at the output, and whether the first few tones and gaps keep their lengths.
struct FirstToneResult {
    QString condition;
    int idleMs = 0;
    QList<double> latencyMs;       // planned -> first half-amplitude start at the output
    QList<double> lengthErrorsMs;  // of the tones and gaps after the idle spell
    int missing = 0;               // sequences not found whole in the recording
    double machineBusy = 0;
};
FirstToneResult RunFirstTones(WindowRig& rig, MonitorTap& tap, int count, int idleMs,
                              Condition condition);
void PrintFirstTones(const FirstToneResult& result);
