#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "MonitorRecording.h"
#include "NominalTimeline.h"
#include "ToneComparison.h"

// In WAV mode: how well the recording carries each sign's written file, and how long the
// silence after each file is (up to the next file; the last one's is not bounded).
struct WaveFileCheck {
    int filesChecked = 0;
    int filesExpected = 0;
    double lowestCorrelation = 0;
    QList<double> closingGapErrors;         // ms
    QList<std::optional<double>> startsMs;  // where each file begins in the recording
};

// filePath gives the file the program wrote for a sign's name.
WaveFileCheck CheckWaveFiles(const Recording& recording, const NominalTimeline& nominal,
                             const ToneComparison& tones,
                             const std::function<QString(const QString&)>& filePath);
