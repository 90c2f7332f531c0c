#pragma once

#include <QList>
#include <QString>

// One thing a lesson sounds: a Morse sign, or a word pause (no pattern).
struct LessonSign {
    QString name;     // "H", "5", "BT", "AR"; " " for a word pause
    QString pattern;  // dots and dashes, left to right; empty for a word pause
    bool isWordPause() const { return pattern.isEmpty(); }
};

// A Normal lesson as the program sounds it: the call-up H R H R BT, the question's letters,
// digits and spaces, then the end mark, which sounds AR.
QList<LessonSign> NormalLessonSigns(const QString& question);
