#pragma once

#include <QObject>
#include <atomic>
#include <functional>

// The time base every wait of the program runs on. The real clock sleeps in the
// event loop until the next event or the deadline; the virtual one (tests) jumps.
class Clock : public QObject {
    Q_OBJECT
  public:
    using TimerId = quint64;

    explicit Clock(QObject* parent = nullptr) : QObject(parent) {}

    // Milliseconds on a monotonic 64-bit counter (never wraps in practice).
    virtual qint64 now() const = 0;

    // Lets pending events run at least once, then keeps running them until the
    // deadline has passed or the program is quitting.
    virtual void waitUntil(qint64 deadline) = 0;

    // Lets pending events run until done() holds (true), the deadline has passed or the program
    // is quitting (false). done() is tested before any event runs and again after events ran.
    virtual bool waitFor(const std::function<bool()>& done, qint64 deadline) = 0;

    // Lets the given time pass without running any event (a blocking tone).
    virtual void block(int ms) = 0;

    // Runs action once at the given time, from inside the event processing.
    virtual TimerId scheduleAt(qint64 due, std::function<void()> action) = 0;
    virtual void cancel(TimerId id) = 0;

    // Ending the program: every wait returns at once from now on.
    void requestQuit();
    bool quitting() const { return m_quitting; }

    // Safe from any thread and from a signal handler: blocking calls (a tone that is
    // playing) return early, so that a request to end the program is seen at once.
    void interruptBlocking() { m_blockingInterrupted.store(true, std::memory_order_relaxed); }
    bool blockingInterrupted() const {
        return m_blockingInterrupted.load(std::memory_order_relaxed);
    }

  signals:
    void quitRequested();

  private:
    bool m_quitting = false;
    std::atomic<bool> m_blockingInterrupted{false};
};

// The only wait of the program. 0 ms or less returns at once without running
// events; 1 ms or more lets pending events run at least once.
void Delay(Clock& clock, int ms);

// Runs step once, ms from now, from the clock's event processing, unless context has gone by
// then or the program is ending: a wait that lets the caller return instead of holding it.
void RunAfter(Clock& clock, QObject* context, int ms, std::function<void()> step);

// A step run once from the clock's event processing, however often it is asked for before then:
// a session woken by several events looks at its state once, after the handler that woke it is
// over. It lives as long as its context (whose member it is).
class QueuedStep {
  public:
    QueuedStep(Clock& clock, QObject* context, std::function<void()> step)
        : m_clock(clock), m_context(context), m_step(std::move(step)) {}
    void request();

  private:
    Clock& m_clock;
    QObject* m_context;
    std::function<void()> m_step;
    bool m_queued = false;
};

inline constexpr int kNoTimeout = -1;

// Waits, letting events run, until done() holds: true then, false when timeoutMs passed first
// (kNoTimeout: no limit) or the program is ending. A condition that holds already returns true
// at once, without running events; once the program is ending every call returns false at once,
// so a loop around it cannot spin.
bool WaitUntil(Clock& clock, const std::function<bool()>& done, int timeoutMs = kNoTimeout);
