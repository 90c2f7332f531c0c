#pragma once

#include <QString>
#include <array>
#include <initializer_list>
#include <utility>

#include "core/lesson/Grading.h"

// A lesson's miss tally with the given counts under the given characters.
inline std::array<qint16, 36> TallyOf(
    std::initializer_list<std::pair<const char16_t*, qint16>> misses) {
    std::array<qint16, 36> tally{};
    for (const auto& [character, count] : misses) {
        tally[static_cast<std::size_t>(*MissTallyIndex(QString::fromUtf16(character)))] = count;
    }
    return tally;
}
