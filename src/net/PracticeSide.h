#pragma once

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
};
