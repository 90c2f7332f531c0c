#pragma once

#include <QString>
#include <vector>

#include "core/morse/KeyingEvidence.h"
#include "core/morse/MorseDecoder.h"

// The keying's lengths, in blocks: the centre of each kind of mark and gap.
struct KeyingLengths {
    double dot = 4;
    double dash = 12;
    double elementGap = 4;
    double characterGap = 12;
    double wordGap = 28;
    // How far a fist strays from them, as a log-normal's sigma: within a character (marks and
    // element gaps) and between characters.
    double spread = 0.3;
    double gapSpread = 0.3;

    static KeyingLengths FromDot(double dotBlocks);
    // Every length times the factor (into blocks of another length, or ms); the spreads kept.
    KeyingLengths scaled(double factor) const;
};

// A mark or a gap as decoded, in blocks; a gap between signs carries the sign before it.
struct SignPiece {
    ElementKind kind;
    int startBlock;
    int blocks;
    QString sign;
};

struct SoftDecoding {
    QString text;
    std::vector<SignPiece> pieces;
    // A sign the sound ended in, with too little gap after it to be one of its own.
    QString lastSign;
    // One per block: the key down as decoded.
    std::vector<bool> keyDown;
    // As learned from the marks and gaps the decoding found (the lengths it was given where it
    // found too few of a kind).
    KeyingLengths learned;
    // How well the decoding explains the blocks (the log-likelihood of its way through them):
    // between decodings of the same blocks, the higher is the likelier fist.
    double logLikelihood = 0;
};

// Decodes whole characters rather than single elements: of every way the blocks can be split
// into marks and gaps that spell signs of the table, the most likely one, given how strongly
// each block says key down and how likely each mark's and gap's length is for the fist's
// lengths. So noise cannot make a pattern that no sign has, a faded dash is weighed against the
// whole character around it, and a weak gap is found where the lengths expect one.
// Each length is likely as a log-normal around its centre (a fist's errors grow with the
// length); a word gap may go on without end (a pause). The spreads learned are those of the
// lengths decoded, but never under 0.1 (a tenth of each length) nor over 0.35.
// Sound that goes on past the blocks (live) may end in the middle of a sign.
SoftDecoding DecodeSigns(const KeyingEvidence& evidence, const KeyingLengths& lengths,
                         bool soundEnds = true, const SignTable& table = DefaultSignTable());
