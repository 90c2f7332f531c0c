#pragma once

#include <QList>
#include <QString>

#include "LessonSigns.h"
#include "MonitorRecording.h"

// Where a WAV-mode sign's file lies on the nominal timeline.
struct NominalFile {
    QString name;
    double startMs = 0;            // its first sample
    double lengthMs = 0;           // all its samples
    double gapAfterMs = 0;         // closing gap and any word pause, up to the next sound
    qsizetype firstTone = 0;       // index into the timeline's tones
    double firstToneOffsetMs = 0;  // the first tone's half-amplitude start after startMs
};

// The half-amplitude edges the rules give, in ms from the lesson's first sample; worked out
// from the rules alone, never from the generators.
struct NominalTimeline {
    QList<ToneEdges> tones;
    QList<NominalFile> files;          // WAV mode only
    QList<qsizetype> firstToneOfSign;  // for each sign, its first tone; -1 for a word pause
    double lengthMs = 0;
};

// Beep generator: dot round(u·f), dash round(3u·f), round(u·f) between elements, then
// round(3u·f) after a sign (round(7u·f) after BT); a word pause is round(4u·f).
NominalTimeline BeepTimeline(const QList<LessonSign>& signs, int unitMs, float factor);

// WAV generator: a sign is one file of elements, each a silent lead of u·f then a tone of
// u·f or 3u·f, both in whole samples at 44.1 kHz, with linear ramps of rampMs from zero at the
// tone's first sample and down to zero at its last. After the file round(3u·f·0.5), or
// round(7u·f·0.5) after AR and BT; a word pause is round(4u·f·0.5).
NominalTimeline WaveTimeline(const QList<LessonSign>& signs, int unitMs, float factor,
                             double rampMs);
