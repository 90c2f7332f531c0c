#include "ui/kit/LabelBlink.h"

#include <QLabel>

#include "ui/kit/ControlHelpers.h"

namespace {

constexpr int kRedMs = 1000;
constexpr int kBlackMs = 500;

}  // namespace

Blinker::Blinker(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

Blinker::~Blinker() {
    if (m_pending != 0) {
        m_clock.cancel(m_pending);
    }
}

void Blinker::start(Blink blink, std::function<void()> finished) {
    if (m_running) {
        return;
    }
    m_running = true;
    m_blink = std::move(blink);
    m_finished = std::move(finished);
    topOfPass();
}

void Blinker::later(int ms, void (Blinker::*step)()) {
    m_pending = m_clock.scheduleAt(m_clock.now() + ms, [this, step] {
        m_pending = 0;
        (this->*step)();
    });
}

void Blinker::topOfPass() {
    if (m_clock.quitting() || m_blink.abandoned() || m_blink.ended()) {
        finish();
        return;
    }
    ShowLabel(m_blink.label, m_blink.caption(), kRed);
    later(kRedMs, &Blinker::afterRed);
}

void Blinker::afterRed() {
    if (m_clock.quitting() || m_blink.abandoned() || m_blink.leaveAfterRed()) {
        finish();
        return;
    }
    ShowLabel(m_blink.label, m_blink.caption(), kBlack);
    later(kBlackMs, &Blinker::topOfPass);
}

void Blinker::finish() {
    m_running = false;
    const auto finished = std::move(m_finished);
    m_finished = nullptr;
    if (finished && !m_clock.quitting()) {
        finished();
    }
}
