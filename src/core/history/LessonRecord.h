#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

#include "core/kit/CopyAlignment.h"
#include "core/kit/LessonState.h"
#include "core/morse/FreeSpeed.h"

// One finished lesson as the history keeps it.
struct LessonRecord {
    enum class Mode { Step, Normal };

    qint64 id = 0;         // the store's key; 0 before it is stored
    QDateTime finishedAt;  // UTC
    QString peer;          // the setter's callsign (the partner's, in solo practice)
    Mode mode = Mode::Step;
    int speed = 25;  // characters per minute: 25, 45 or 60 (the nearest of them)
    std::optional<FreeSpeed> freeSpeed;  // a speed of its own, when one was chosen
    int fineAdjust = 0;          // the change of speed in percent, as the main window shows it
    QString sound;               // "beep", "wav" or "none"
    int played = 0;              // characters played (spaces and the end mark not counted)
    std::optional<int> correct;  // Step lessons only
    QString question;            // the question's text, for how often each character came
    QString band;                // the band conditions heard, in short; "" when there were none
    std::optional<quint64> bandSeed;  // their seed, with them
    // Misses for A … Z, then 1 … 9 and 0: the order of the answer buttons and the result window.
    std::array<int, 36> misses{};
    // What was heard for what was sent (Step answers, or a Normal copy aligned with the
    // question); empty when nothing was judged.
    ConfusionCounts confusions;
};

// The word a lesson's kind is kept under ("step", "normal"), and the kind a word names (a word
// the history does not know is read as Step, the first kind it kept).
QString ModeName(LessonRecord::Mode mode);
LessonRecord::Mode ModeNamed(QStringView name);

// The letters and digits in the order of the miss counts: the answer buttons' order.
inline constexpr QStringView kMissOrder = kAnswerButtonCharacters;
