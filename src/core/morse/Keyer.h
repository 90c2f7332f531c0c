#pragma once

#include <QtGlobal>
#include <functional>

// How the learner's contacts become key-down/key-up: a straight key (or bug) passed through, or
// an iambic keyer that times the elements itself.
enum class KeyerMode { Straight, IambicA, IambicB };

// The two paddle contacts. A straight key uses Dot as its only contact.
enum class Paddle { Dot, Dash };

struct KeyEdge {
    qint64 at;  // ms on the keyer's clock
    bool down;

    bool operator==(const KeyEdge&) const = default;
};

// The keyer as pure timed logic: contacts come in with their times, key edges go out with
// theirs. Time only moves forward through contact() and advanceTo(); a live caller asks
// nextDeadline() when to call advanceTo() again, a test jumps the virtual clock there.
//
// Iambic rules: an element is its mark plus the one-unit gap after it. A contact pressed while
// an element runs is remembered (dot and dash memory). When the element ends, the keyer sends
// the opposite element if it is remembered or held, else the same one if held. With both
// contacts released, mode A stops; mode B sends one more opposite element when both contacts
// were closed at some time during the element that just ended.
class Keyer {
  public:
    static constexpr qint64 kNoDeadline = -1;

    void setMode(KeyerMode mode) { m_mode = mode; }
    KeyerMode mode() const { return m_mode; }

    // Speed in words per minute (PARIS: a dot is 1200 / wpm ms), weight in percent of a unit
    // (50 is standard: mark and gap alike; more lengthens marks and shortens gaps).
    void setSpeed(double wpm, int weight = 50);
    double dotMs() const { return m_unitMs + m_extraMs; }
    double dashMs() const { return 3 * m_unitMs + m_extraMs; }
    double gapMs() const { return m_unitMs - m_extraMs; }

    void setOutput(std::function<void(const KeyEdge&)> output) { m_output = std::move(output); }

    // A contact closed (down) or opened at time at (not before earlier calls).
    void contact(Paddle paddle, bool down, qint64 at);
    // Lets the keyer run up to and including time at.
    void advanceTo(qint64 at);
    // When the keyer next changes something by itself, or kNoDeadline.
    qint64 nextDeadline() const;
    // Opens every contact and ends any element at once (focus lost, window closed).
    void releaseAll(qint64 at);

    bool keyIsDown() const { return m_keyDown; }

  private:
    enum class Phase { Idle, Mark, Gap };

    void runDue(qint64 at, bool sameInstant);
    void startElement(Paddle element, double start);
    void endMark();
    void endElement();
    void setKey(bool down, qint64 at);
    bool held(Paddle paddle) const { return m_held[static_cast<int>(paddle)]; }
    bool& memory(Paddle paddle) { return m_memory[static_cast<int>(paddle)]; }

    KeyerMode m_mode = KeyerMode::IambicB;
    double m_unitMs = 60;
    double m_extraMs = 0;
    std::function<void(const KeyEdge&)> m_output;

    bool m_held[2] = {false, false};
    bool m_memory[2] = {false, false};
    Phase m_phase = Phase::Idle;
    Paddle m_element = Paddle::Dot;
    double m_phaseEnd = 0;  // fractional ms, so long runs of elements do not drift
    bool m_squeezed = false;
    bool m_keyDown = false;
};
