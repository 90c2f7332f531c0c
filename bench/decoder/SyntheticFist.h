#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "core/morse/MorseDecoder.h"

// A seeded model of a hand on a key: every mark and gap is its nominal length in units, times
// a random error, at a speed that may drift over the text.
struct FistModel {
    double wpm = 20;
    double uniformJitter = 0;   // each length times 1 + U(-x, x)
    double gaussianJitter = 0;  // each length times 1 + N(0, sigma)
    double drift = 0;           // speed goes from 1 + d to 1 - d over the text (or back)
    double gapStretch = 1;      // character and word gaps, as a Farnsworth fist spaces them
    double dashUnits = 3;
    double elementGapUnits = 1;
    double characterGapUnits = 3;
    double wordGapUnits = 7;
    unsigned seed = 1;
};

struct KeyedDuration {
    double ms;
    bool mark;
    ElementKind kind;  // what the hand meant
};

// The marks and gaps of the text ("A".."Z", "0".."9", "/", "?", "=", "." and spaces), with the
// gaps after the last character left out.
std::vector<KeyedDuration> KeyText(const QString& text, const FistModel& model);

// Practice texts of about the given length: five-character groups, callsigns or words.
QStringList PracticeTexts(int count, int length, unsigned seed);

// Errors (substitutions, insertions, deletions) against the reference after its first skip
// characters, over the number of those characters.
double CharacterErrorRate(const QString& reference, const QString& decoded, int skip);
