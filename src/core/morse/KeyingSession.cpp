#include "core/morse/KeyingSession.h"

#include <cmath>

#include "core/kit/Clock.h"

KeyingSession::KeyingSession(Clock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_clocked(clock, m_keyer) {
    m_keyer.setOutput([this](const KeyEdge& edge) { keyed(edge); });
    newDecoder();
}

KeyingSession::~KeyingSession() {
    m_keyer.setOutput({});
    cancelSilenceCheck();
}

void KeyingSession::setSettings(const KeyInputSettings& settings) {
    releaseAll();
    m_keyer.setMode(settings.mode);
    m_keyer.setSpeed(settings.wpm, settings.weight);
}

void KeyingSession::contact(Paddle paddle, bool down, qint64 at) {
    m_clocked.contact(paddle, down, at);
}

void KeyingSession::releaseAll() {
    m_clocked.releaseAll();
}

void KeyingSession::reset() {
    releaseAll();
    cancelSilenceCheck();
    m_lastEdge = -1;
    newDecoder();
}

void KeyingSession::finish() {
    releaseAll();
    cancelSilenceCheck();
    m_decoder->finish();
}

void KeyingSession::newDecoder() {
    m_decoder = std::make_unique<MorseDecoder>();
    m_decoder->setOutput([this](const QString& text) { emit characterDecoded(text); });
}

void KeyingSession::cancelSilenceCheck() {
    if (m_silenceCheck != 0) {
        m_clock.cancel(m_silenceCheck);
        m_silenceCheck = 0;
    }
}

void KeyingSession::keyed(const KeyEdge& edge) {
    if (m_sidetone) {
        m_sidetone(edge.down);
    }
    emit keyStateChanged(edge.down);
    if (m_lastEdge >= 0) {
        const auto ms = static_cast<double>(edge.at - m_lastEdge);
        edge.down ? m_decoder->addGap(ms) : m_decoder->addMark(ms);
    }
    m_lastEdge = edge.at;
    cancelSilenceCheck();
    if (!edge.down) {
        // Shows the character once the silence after it is a character gap.
        const double boundary = std::sqrt(m_decoder->elementGapMs() * m_decoder->characterGapMs());
        checkSilenceAt(edge.at + static_cast<qint64>(std::ceil(boundary)) + 1,
                       &KeyingSession::showAfterSilence);
    }
}

// A check of the silence decides only after the events that came before it: one that runs late
// (the window thread was held up) lets the waiting events run first, since a key pressed
// meanwhile, stamped with its own time, ended the silence before the check was due.
void KeyingSession::checkSilenceAt(qint64 due, void (KeyingSession::*check)(), bool lateOnce) {
    m_silenceCheck = m_clock.scheduleAt(due, [this, due, check, lateOnce] {
        m_silenceCheck = 0;
        if (!lateOnce && m_clock.now() > due) {
            checkSilenceAt(m_clock.now(), check, true);
        } else {
            (this->*check)();
        }
    });
}

void KeyingSession::showAfterSilence() {
    tellSilence();
    // Then the space once the silence is a word gap: what waits for the end of a word (an echo
    // group's verdict) must not wait for the next key.
    const qint64 word =
        m_lastEdge + static_cast<qint64>(std::ceil(m_decoder->wordBoundaryMs())) + 1;
    if (m_clock.now() < word) {
        checkSilenceAt(word, &KeyingSession::tellSilence);
    }
}

void KeyingSession::tellSilence() {
    m_decoder->silence(static_cast<double>(m_clock.now() - m_lastEdge));
}
