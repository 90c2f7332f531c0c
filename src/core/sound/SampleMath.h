#pragma once

#include <QtGlobal>

// A sample index divided into frames or steps, rounded down for indices before zero too, so that
// a frame's first sample is the same however far back rendering starts.
constexpr qint64 FloorDiv(qint64 a, qint64 b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
