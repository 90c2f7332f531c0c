#pragma once

#include <QString>

#include "TimingTable.h"
#include "common/RealClock.h"
#include "morse/SoundControls.h"
#include "sound/RealSoundOutput.h"

// What every run shares: the sound output, its clock, the question and a folder for the
// recordings and the sound files.
struct LessonBench {
    RealClock& clock;
    RealSoundOutput& sound;
    QString question;
    QString folder;
};

enum class Load { Idle, Busy };

// One Normal lesson through the program's real sound output, recorded and compared.
TimingRow RunProgramLesson(LessonBench& bench, SoundGenerator generator, int speed, int fineAdjust,
                           Load load);

// The same lesson through Debian's cw at the whole wpm nearest the unit: one recording, compared
// with standard PARIS timing and with the timing cw shows on this machine (a word gap of ten
// units, half-amplitude edges 2.5 ms inside each element).
QList<TimingRow> RunCwLesson(LessonBench& bench, int unitMs, Load load);
