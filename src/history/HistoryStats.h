#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

#include "history/LessonRecord.h"

// Figures over a history: what the history window draws and the partner's drill weighs.

struct CharacterMisses {
    QChar character;
    int misses = 0;
    int played = 0;   // how often it came in Step lessons
    double rate = 0;  // misses ÷ played, at most 1; 0 when it never came
};

// The 36 letters and digits, worst miss rate first (ties: more misses first, then the order of
// the answer buttons). Only Step lessons are judged character by character.
QList<CharacterMisses> MissRates(const QList<LessonRecord>& lessons);

struct AccuracyPoint {
    QDateTime at;
    double percent = 0;  // correct ÷ played × 100
};

// Accuracy of every Step lesson with something played, per speed, in time order.
QMap<int, QList<AccuracyPoint>> AccuracyBySpeed(const QList<LessonRecord>& lessons);

// The lessons of a period before now (all of them for 0 days) at one speed (or all speeds).
QList<LessonRecord> FilterLessons(const QList<LessonRecord>& lessons, int days,
                                  std::optional<int> speed, const QDateTime& now);

// The accuracy of one lesson in percent, if it was judged.
std::optional<double> AccuracyPercent(const LessonRecord& lesson);

// The drill's weight of each character given (in that order): 1 + 9 × its miss rate, so a
// character missed every time it came is drawn ten times as often as one never missed, and one
// the history has not seen yet as often as one never missed.
QList<double> DrillWeights(const QList<CharacterMisses>& rates, QStringView characters);
