#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "core/history/LessonRecord.h"

// The lesson list's columns, as the CSV file and the history window's table both show them.
enum class LessonColumn {
    FinishedAt,
    Peer,
    Mode,
    Speed,
    FineAdjust,
    Sound,
    Played,
    Correct,
    Accuracy,
    Scoring,
    Misses,
    Confusions,
    Band,
    BandSeed,
};
inline constexpr int kLessonColumnCount = 14;

QStringList LessonColumnTitles();
// The columns of the program's own figures, which are shown right-aligned and written as
// numbers.
bool IsNumberColumn(LessonColumn column);

// One lesson's fields as text: the local finishing time, the mode and sound in words, the fine
// adjustment as the change of speed with its sign ("+10", "-5", "0"), the right count and the
// accuracy with one decimal, what they were counted from ("解答" for Step answers, "受信メモ"
// for the copy of a Normal question; all three empty when nothing was scored), the misses as
// "A:2 K:1" in the answer buttons' order, what was heard for what was sent, where the two
// differ, as "B→D:2 K→なし:1", most often first, and the band conditions in short with their
// seed ("なし" and no seed without them).
QStringList LessonColumnTexts(const LessonRecord& lesson);

// The lessons as a CSV file for spreadsheet programs: UTF-8 with a byte order mark (without it
// they read the Japanese as the system's code page), CRLF line ends, RFC 4180 quoting, and a
// header row. Texts come from the network, the user and the file, so every text cell that a
// spreadsheet would take for a formula is written with a leading apostrophe; the program's own
// figures stay numbers.
QByteArray LessonsCsv(const QList<LessonRecord>& lessons);
// The same file in pieces, to be written as the lessons are read: the byte order mark and the
// header row, then one row per lesson.
QByteArray LessonsCsvHeader();
QByteArray LessonsCsvRow(const LessonRecord& lesson);
