#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <map>
#include <utility>

// What was sent set against what was copied: the fewest single-character edits that turn one
// into the other, and which characters those edits touch. Both texts are compared as the ear
// takes them: letters case-folded, every run of white space one word gap, none at either end.
struct AlignedPair {
    enum class Op {
        Match,       // sent and heard alike
        Substitute,  // sent, and heard as another character
        Insert,      // heard, though nothing was sent there (sent is null)
        Delete,      // sent, and not heard at all (heard is null)
    };
    Op op = Op::Match;
    QChar sent;
    QChar heard;

    friend bool operator==(const AlignedPair&, const AlignedPair&) = default;
};

struct CopyAlignment {
    QList<AlignedPair> pairs;  // in the order of the texts
    int distance = 0;          // edits, word gaps included
    int sentCharacters = 0;    // characters sent, word gaps not counted
    int rightCharacters = 0;   // of those, heard right
};

// The texts as they are compared: upper case, one space for every run of white space, trimmed.
QString NormalizedCopy(QStringView text);

// Aligns the copy with what was sent. Past a few million character pairs the copy's overlong
// tail counts as heard in excess, so that pasted text cannot exhaust the memory.
CopyAlignment AlignCopy(QStringView sent, QStringView heard);

// How often each character sent was heard as each, over a lesson or many: (sent, heard) to a
// count, right copies included. A null sent is a character heard in excess, a null heard one
// not heard at all; word gaps are not counted.
using ConfusionCounts = std::map<std::pair<QChar, QChar>, int>;

// Adds the aligned characters' pairs; a word gap set against a character counts as nothing.
void CountPairs(ConfusionCounts& counts, const CopyAlignment& alignment);
