#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "LessonSigns.h"
#include "NominalTimeline.h"
#include "ToneComparison.h"

// A speed of its own as the benchmark asks for it: "c", "c/s" or either with "+w" (extra word
// space in units), c the character speed and s the effective speed in words a minute.
struct FreeLessonSpeed {
    double characterWpm = 20;
    double effectiveWpm = 0;  // 0: the gaps are not stretched
    double extraWordUnits = 0;

    bool stretched() const { return effectiveWpm > 0 && effectiveWpm < characterWpm; }
    QString text() const;  // as it was asked for: "25/4", "20", "18/10+2"
};
std::optional<FreeLessonSpeed> ParseFreeLessonSpeed(const QString& text);

// The exact lengths in ms, worked out here from the published rules alone: a unit of 1200 / c;
// stretched, ta = (60c - 37.2s) / (cs) seconds a word, 3ta/19 for a character gap and 7ta/19
// for a word gap in place of 3 and 7 units; the extra units added to the word gap.
struct FreeGaps {
    double unitMs = 0;
    double characterGapMs = 0;
    double wordGapMs = 0;
};
FreeGaps FormulaGaps(const FreeLessonSpeed& speed);

// What the silence before a tone is, and its exact length from the end of one element to the
// start of the next.
enum class GapKind { None, Element, Character, Word };
struct GapBefore {
    GapKind kind = GapKind::None;
    double exactMs = 0;
};

// The timeline of a lesson at a speed of its own, in exact ms. Every sign is followed by a
// character gap, BT (and AR in WAV mode) by a word gap; a word pause makes it a word gap. Beep
// tones have their half-amplitude edges on the exact edges; a WAV tone's file holds the
// character's elements and the gaps between them (the closing gap follows the file), and its
// linear ramps of rampMs (at most half a unit) lie across each edge, so that every WAV edge is
// half a ramp late (44.1 kHz).
struct FreeTimeline {
    NominalTimeline nominal;
    QList<GapBefore> gapBefore;  // for each tone
};
FreeTimeline FreeLessonTimeline(const QList<LessonSign>& signs, const FreeGaps& gaps,
                                std::optional<double> waveRampMs);

// The free speed's own figures for a lesson.
struct FreeFigures {
    // Largest error, in samples at the recording's rate: each dot and dash, each space inside
    // a character, each character gap and each word gap.
    double elementSamples = 0;
    double elementGapSamples = 0;
    double characterGapSamples = 0;
    double wordGapSamples = 0;
    // From the first edge of a word "PARIS" to that of the word after it, against 60000 / s ms
    // (plus the extra word space); none when the question has no such word.
    std::optional<double> parisErrorPercent;
    // The character and word gaps as sounded, the tones' shape taken off (ms).
    QList<double> characterGapsMs;
    QList<double> wordGapsMs;
};
FreeFigures MeasureFree(const ToneComparison& tones, const FreeTimeline& timeline,
                        const QList<LessonSign>& signs, const FreeLessonSpeed& speed,
                        const FreeGaps& gaps, int recordingRate);

// At 25/4 with no extra space: whether every character gap sounded lies within 1 ms of the
// published 2133 ms and every word gap within 1 ms of 4978 ms. Nothing at other speeds.
std::optional<bool> PublishedGapsHeld(const FreeLessonSpeed& speed, const FreeFigures& figures);

// The WAV quality the benchmark plays a free speed with: 3 (20 ms ramps) while a dot holds both
// ramps, else 4 (8 ms), so that every dot reaches full level.
int FreeWaveQuality(double unitMs);
double RampMsForQuality(int quality);
