#pragma once

#include <optional>

#include "core/morse/FreeSpeed.h"

// What the link asks of the practice side: the peer's choice of receive mode, speed or chat kind
// selects the matching option here, and its handler runs when it was not selected before, as a
// user's selection does. Declared here, below the practice side that carries it out.
class PracticeSide {
  public:
    virtual ~PracticeSide() = default;
    virtual void selectReceiveMode(bool step) = 0;
    // A speed in characters a minute (25, 45, 60).
    virtual void selectSpeed(int perMinute) = 0;
    virtual void selectChatKind(bool cw) = 0;
    // The speed option selected; 0 when none is.
    virtual int selectedSpeed() const = 0;
    // The peer's speed of its own (told by this program only), selected as above.
    virtual void selectFreeSpeed(const FreeSpeed& /*speed*/) {}
    // The speed of its own when it is chosen instead of the three options.
    virtual std::optional<FreeSpeed> chosenFreeSpeed() const { return std::nullopt; }
};
