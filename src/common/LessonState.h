#pragma once

#include <QString>
#include <array>

// The most characters a question may hold: with its end mark it still fits the 16-bit count of
// played characters.
inline constexpr int kLongestQuestion = 32766;

// The running lesson, shared by the playback, the answer checking and the
// result window.
struct LessonState {
    bool stopPlayback = false;
    qint16 playedCount = 0;
    qint16 correctCount = 0;
    QString currentAnswer;
    // Misses for A ... Z, then 1 ... 9 and 0 (the order of the answer buttons).
    std::array<qint16, 36> missTally{};
};
