#pragma once

#include <QList>
#include <QString>
#include <array>
#include <map>
#include <optional>

#include "core/history/LessonRecord.h"

// Figures over a history: what the history window draws and the partner's drill weighs.

struct CharacterMisses {
    QChar character;
    int misses = 0;
    int played = 0;   // how often it came in Step lessons
    double rate = 0;  // misses ÷ played, at most 1; 0 when it never came
    bool asked() const { return played > 0; }
};

// How often each of the 36 letters and digits comes in a question, in the misses' order (lower
// case counts as upper case).
std::array<int, 36> AskedCounts(const QString& question);

// The totals of each character (in any order) ranked: the characters that came, worst miss rate
// first (ties: more misses first, then the order of the answer buttons), then those that never
// came, in the answer buttons' order.
QList<CharacterMisses> RankMissRates(QList<CharacterMisses> totals);

// The 36 letters and digits of these lessons, ranked as above. Only Step lessons are judged
// character by character.
QList<CharacterMisses> MissRates(const QList<LessonRecord>& lessons);

// How a lesson was scored: by its Step answers, by the copy typed during a Normal question
// (its characters sent against those heard right), or not at all.
enum class Scoring { None, Answers, Copy };
Scoring ScoringOf(const LessonRecord& lesson);

// The lesson's right count and the characters it counts against: the Step answers against the
// characters played, or the copy score; none when it was not scored.
struct LessonScore {
    int right = 0;
    int of = 0;
};
std::optional<LessonScore> ScoreOf(const LessonRecord& lesson);

// The accuracy of one lesson in percent, if it was scored and anything counted.
std::optional<double> AccuracyPercent(const LessonRecord& lesson);

// The drill's weight of each character given (in that order): 1 + 9 × its miss rate, so a
// character missed every time it came is drawn ten times as often as one never missed, and one
// the history has not seen yet as often as one never missed.
QList<double> DrillWeights(const QList<CharacterMisses>& rates, QStringView characters);

// One pair of what was sent and what was heard instead, and how often.
struct ConfusionEntry {
    QChar sent;   // null: nothing was sent there
    QChar heard;  // null: nothing was heard
    int count = 0;
};

// The pairs where what was heard is not what was sent, most often first (ties: in the order of
// the characters sent, then heard).
QList<ConfusionEntry> MostConfused(const ConfusionCounts& counts);

// A character of a pair as the lists show it: itself, or "なし" for nothing.
QString ConfusionName(QChar character);

// How often each character was sent, and how often of those it was heard right.
struct CopyTally {
    int sent = 0;
    int right = 0;
};
std::map<QChar, CopyTally> CopyTallies(const ConfusionCounts& counts);

// The miss rates with every character the pairs have seen counted from them instead (they
// hold the Step answers too, and the Normal copies), ranked again.
QList<CharacterMisses> WithCopyTallies(QList<CharacterMisses> rates, const ConfusionCounts& counts);
