#pragma once

#include <QtGlobal>

// Counts the presence pings that have gone unanswered and says what the ping timer does next.
class PingCounter {
  public:
    enum class Next { Keep, Shorten, PeerLost };

    static constexpr int kNormalInterval = 60000;
    static constexpr int kRetryInterval = 10000;

    // A ping went out. The second unanswered one shortens the interval, the sixth means the
    // peer is gone (and the count starts again).
    Next pingSent();
    void answered() { m_countRetry = 0; }
    qint16 countRetry() const { return m_countRetry; }

  private:
    qint16 m_countRetry = 0;
};
