#include "core/morse/Keyer.h"

#include <algorithm>
#include <cmath>

namespace {

Paddle Opposite(Paddle paddle) {
    return paddle == Paddle::Dot ? Paddle::Dash : Paddle::Dot;
}

}  // namespace

void Keyer::setSpeed(double wpm, int weight) {
    m_unitMs = 1200.0 / std::clamp(wpm, 1.0, 100.0);
    m_extraMs = m_unitMs * (std::clamp(weight, 10, 90) - 50) / 50.0;
}

void Keyer::contact(Paddle paddle, bool down, qint64 at) {
    // Deadlines that fall before the contact change run first; one at the same instant runs
    // after it, so a contact closed exactly as an element ends still counts for the next.
    runDue(at, false);
    const int index = static_cast<int>(paddle);
    if (m_held[index] == down) {
        return;
    }
    m_held[index] = down;
    if (m_mode == KeyerMode::Straight) {
        if (paddle == Paddle::Dot) {
            setKey(down, at);
        }
        return;
    }
    if (!down) {
        return;
    }
    if (m_phase == Phase::Idle) {
        startElement(paddle, static_cast<double>(at));
        return;
    }
    memory(paddle) = true;
    if (held(Paddle::Dot) && held(Paddle::Dash)) {
        m_squeezed = true;
    }
}

void Keyer::advanceTo(qint64 at) {
    runDue(at, true);
}

void Keyer::runDue(qint64 at, bool sameInstant) {
    while (m_phase != Phase::Idle) {
        const auto due = static_cast<qint64>(std::ceil(m_phaseEnd));
        if (due > at || (due == at && !sameInstant)) {
            return;
        }
        if (m_phase == Phase::Mark) {
            endMark();
        } else {
            endElement();
        }
    }
}

qint64 Keyer::nextDeadline() const {
    return m_phase == Phase::Idle ? kNoDeadline : static_cast<qint64>(std::ceil(m_phaseEnd));
}

void Keyer::releaseAll(qint64 at) {
    advanceTo(at);
    m_held[0] = m_held[1] = false;
    m_memory[0] = m_memory[1] = false;
    m_phase = Phase::Idle;
    setKey(false, at);
}

void Keyer::startElement(Paddle element, double start) {
    m_element = element;
    memory(element) = false;
    m_squeezed = held(Paddle::Dot) && held(Paddle::Dash);
    m_phase = Phase::Mark;
    m_phaseEnd = start + (element == Paddle::Dot ? dotMs() : dashMs());
    setKey(true, static_cast<qint64>(std::ceil(start)));
}

void Keyer::endMark() {
    setKey(false, static_cast<qint64>(std::ceil(m_phaseEnd)));
    m_phase = Phase::Gap;
    m_phaseEnd += gapMs();
}

void Keyer::endElement() {
    const Paddle other = Opposite(m_element);
    const double end = m_phaseEnd;
    if (memory(other) || held(other)) {
        startElement(other, end);
    } else if (memory(m_element) || held(m_element)) {
        startElement(m_element, end);
    } else if (m_mode == KeyerMode::IambicB && m_squeezed) {
        startElement(other, end);
    } else {
        m_phase = Phase::Idle;
    }
}

void Keyer::setKey(bool down, qint64 at) {
    if (m_keyDown == down) {
        return;
    }
    m_keyDown = down;
    if (m_output) {
        m_output(KeyEdge{at, down});
    }
}
