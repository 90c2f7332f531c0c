#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "core/kit/Clock.h"

class QLabel;

// How a role label shows a status word: red for 1000 ms, then black for 500 ms, pass after pass.
struct Blink {
    QLabel* label;
    // The caption shown in each phase, read afresh.
    std::function<QString()> caption;
    // Asked at the top of each pass: the blink ends there.
    std::function<bool()> ended;
    // Asked after the red phase: the blink is left there, the label still red.
    std::function<bool()> leaveAfterRed;
    // The link the blink began on has gone: the blink stops at the next phase without painting.
    std::function<bool()> abandoned;
};

// Runs a blink on the clock's timers. The handler that starts it returns at once, so a message
// that starts a blink never holds up the messages behind it (among them the one that ends it).
class Blinker : public QObject {
    Q_OBJECT
  public:
    explicit Blinker(Clock& clock, QObject* parent = nullptr);
    ~Blinker() override;

    // Starts the blink, unless one runs already: that one goes on and shows the new status.
    // finished runs once when it ends by its rules (not when the program ends).
    void start(Blink blink, std::function<void()> finished = {});
    bool isRunning() const { return m_running; }

  private:
    void topOfPass();
    void afterRed();
    void finish();
    void later(int ms, void (Blinker::*step)());

    Clock& m_clock;
    Blink m_blink;
    std::function<void()> m_finished;
    Clock::TimerId m_pending = 0;
    bool m_running = false;
};
