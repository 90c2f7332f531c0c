#pragma once

#include <QtGlobal>
#include <optional>

// When an input event happened, on the program's clock. The window system stamps every key and
// mouse event with its own time in milliseconds (the X server's); on a busy machine the window
// thread may get to the event much later, and what is decoded must not depend on that. The two
// clocks differ by an offset, learnt as the smallest seen: no event is handled before it
// happened, so the one handled quickest tells the offset best. An event without a stamp, or one
// handled later than any keying can wait (another time base, a counter that wrapped), counts as
// happening now and the offset is learnt afresh from it.
class KeyInputTime {
  public:
    static constexpr qint64 kLongestWaitMs = 5000;

    // stamp: the event's own time, 0 when it has none; now: the program's clock.
    qint64 at(quint64 stamp, qint64 now);

  private:
    std::optional<qint64> m_offset;  // program time minus event time
};
