#pragma once

#include <QString>
#include <array>
#include <optional>

struct LessonState;

// How a Step lesson is graded and its misses are tallied and listed.

// The place of a letter or digit ("A" … "Z", "1" … "9", "0") in the miss tally, in the order of
// the answer buttons; nothing for any other text.
std::optional<int> MissTallyIndex(const QString& character);

// Adds one miss for the character; any other text changes nothing.
void RecordMiss(std::array<qint16, 36>& tally, const QString& character);

// Judges a Step answer against the token the playback sounded last: a match counts one more
// correct answer (the 16-bit count stops at its largest value); anything else, a pass included,
// is a miss of the character heard. Each answer also counts as what was heard for what was sent
// (nothing heard, for a pass or a key that is no character) in the lesson's pairs.
enum class Judgement { Correct, Miss };
Judgement JudgeAnswer(LessonState& lesson, const QString& answer, const QString& soundedToken,
                      const QString& soundedCharacter);

enum class Grade { None, Perfect, Good, Soso, Bad };

// correct ÷ given in double precision, kept in single precision and compared with
// single-precision bounds: 1 Perfect, 0.8 … below 1 Good, 0.5 … below 0.8 Soso, 0 … below 0.5
// Bad. A ratio above 1, and none at all (nothing asked), grade nothing.
Grade GradeFor(qint16 given, qint16 correct);

// The picture's file name: "Perfect.gaz", "Good.gaz", "Soso.gaz", "Bad.gaz"; empty for None.
QString GradePictureName(Grade grade);

// Appends "X:n回　" for every letter A … Z, then every digit 1 … 9, 0, with misses, counting the
// entries in counter; after every third entry a CR, CR, LF, except after the 36th, the last
// there can be. A learner who missed only digits sees them listed too.
void AppendMissList(const std::array<qint16, 36>& tally, QString& list, qint16& counter);

// How the grade reads to a screen reader: "満点", "良い", "まあまあ", "もう一息"; empty for None.
QString GradeName(Grade grade);

// The line a finished Step lesson adds to the score list: "ステップ:12問中9問正解".
QString ScoreLine(const QString& played, const QString& correct);
