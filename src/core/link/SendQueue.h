#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <optional>

#include "core/kit/Clock.h"

// Messages to the peer, one at a time and never run together: each is written once the write
// before it has completed (but never waiting longer than a limit, since a completion may not
// come) and a short pause has passed, for a peer that takes each arrival as one message.
// Nothing waits for it: the sender goes on, and the writes happen from the clock's event
// processing. Once the program is ending, what is left goes out at once.
class SendQueue : public QObject {
    Q_OBJECT
  public:
    static constexpr int kCompletionLimitMs = 3000;
    static constexpr int kPauseMs = 10;

    // previousDone tells whether the last write has completed.
    SendQueue(Clock& clock, std::function<bool()> previousDone, QObject* parent = nullptr);
    ~SendQueue() override;

    void push(std::function<void()> write);
    bool idle() const { return m_writes.empty(); }

  signals:
    // The last queued write went out.
    void drained();

  private:
    enum class Phase { AwaitingCompletion, Pausing };

    void step();
    void stepAt(qint64 due);
    void flush();

    Clock& m_clock;
    std::function<bool()> m_previousDone;
    std::deque<std::function<void()>> m_writes;
    std::optional<Clock::TimerId> m_timer;
    Phase m_phase = Phase::AwaitingCompletion;
    qint64 m_awaitingSince = 0;
    bool m_stepping = false;
};
