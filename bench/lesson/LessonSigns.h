#pragma once

#include <QList>
#include <QString>

// One thing a lesson sounds: a Morse sign, or a word pause (no pattern).
struct LessonSign {
    QString name;     // "H", "5", "BT", "AR"; " " for a word pause
    QString pattern;  // dots and dashes, left to right; empty for a word pause
    bool isWordPause() const { return pattern.isEmpty(); }
};

// The program's runs end with a tone this long after the lesson, so that the lesson's last
// closing gap is bounded.
inline constexpr int kMarkerMs = 100;

// A Normal lesson as the program sounds it: the call-up H R H R BT, the question's letters,
// digits and spaces, then the end mark, which sounds AR.
QList<LessonSign> NormalLessonSigns(const QString& question);

// The same lesson for cw. Its timing has no long gap after BT, so a word pause stands in for
// the program's seven units there.
QList<LessonSign> CwLessonSigns(const QString& question);

// The signs as cw reads them: BT as '=', AR as '+', a word pause as a space.
QString CwText(const QList<LessonSign>& signs);
