#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

#include "core/kit/CopyAlignment.h"

// The most characters a question may hold: with its end mark it still fits the 16-bit count of
// played characters.
inline constexpr int kLongestQuestion = 32766;

// The characters the answer buttons answer, in their order (and the order of the miss tally).
// The view points at an array of its own: a view of a bare string literal in a header names
// another literal in every file, and a compiler that folds one file's copy into a loop may run
// into another's.
inline constexpr char16_t kAnswerButtonCharacterText[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890";
inline constexpr QStringView kAnswerButtonCharacters = kAnswerButtonCharacterText;

// The state of a lesson, which the main button's caption shows: what a press of it does.
enum class MainButton {
    Start,      // "スタート": a question has arrived (also the design caption)
    Set,        // "出題": the setter may compose
    Ready,      // "準備OK": the answerer has chosen mode and speed
    Waiting,    // "出題待機": waiting for the setter to start
    Preparing,  // "出題準備中": the setter is composing
    Next,       // "次の問題": the question is over
    Retry,      // "再挑戦": play the same question again
};
// The stop button: during a lesson, and after it (back to choosing a mode).
enum class StopButton { Stop, ModeSwitch };

QString Caption(MainButton state);
QString Caption(StopButton state);

// The running lesson, shared by the playback, the answer checking, the result window and the
// history: its state, its counts and its misses. The count labels show shownPlayed and
// shownCorrect (" - " for none); what reads the counts reads them here, never from a label.
struct LessonState {
    MainButton mainButton = MainButton::Start;
    StopButton stopButton = StopButton::Stop;
    // The main button takes a press: no lesson is playing, and the link allows one. The button's
    // enabled state is kept here as it changes.
    bool mainButtonEnabled = true;
    bool stopPlayback = false;
    // The running lesson's kind as the history names it ("step", "normal"), set as it starts.
    QString kindName;
    qint16 playedCount = 0;
    qint16 correctCount = 0;
    std::optional<int> shownPlayed;
    std::optional<int> shownCorrect;
    QString currentAnswer;
    // Misses for A ... Z, then 1 ... 9 and 0 (the order of the answer buttons).
    std::array<qint16, 36> missTally{};
    // What was heard for what was sent: every Step answer, or a Normal copy set against the
    // question; cleared as a lesson starts.
    ConfusionCounts confusions;
};

// A count as its label shows it: the number, or " - ".
QString CountText(const std::optional<int>& count);
