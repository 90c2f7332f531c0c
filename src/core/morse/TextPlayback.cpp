#include "core/morse/TextPlayback.h"

#include "core/kit/Clock.h"
#include "core/morse/PlannedPlayback.h"

TextPlayback::TextPlayback(CharacterDispatch& dispatch, Clock& clock, QObject* parent)
    : QObject(parent), m_dispatch(dispatch), m_clock(clock) {}

TextPlayback::~TextPlayback() = default;

void TextPlayback::play(const QString& text, CharacterTable table, Ending ending,
                        std::function<void()> done) {
    m_playback = std::make_unique<PlannedPlayback>(m_dispatch.output(), m_dispatch.controls());
    m_playback->watch([this] { wake(); });
    m_dispatch.output().restartBand();
    m_text = text;
    m_next = 0;
    m_table = table;
    m_ending = std::move(ending);
    m_done = std::move(done);
    m_allPlanned = false;
    planNext();
    wake();
}

void TextPlayback::wake() {
    if (running()) {
        m_advance.request();
    }
}

void TextPlayback::planNext() {
    if (m_next >= m_text.size() || m_ending.stopped()) {
        m_allPlanned = true;
        return;
    }
    const QChar character = m_text.at(m_next++);
    m_playback->add([this, character] { m_dispatch.SoundCharacter(character, m_table); });
}

void TextPlayback::advance() {
    if (!running()) {
        return;
    }
    if (m_clock.quitting()) {
        m_playback.reset();  // the program is ending: nothing more sounds or is told
        return;
    }
    // A playback started inside this one is heard first.
    if (!m_playback->isInnermost()) {
        return;
    }
    const bool stopped = m_ending.stopped();
    if (!m_allPlanned) {
        if (stopped || m_playback->leadLeft()) {
            planNext();
            wake();  // events run between characters, as in every wait of the program
        }
        return;
    }
    if (!stopped && !m_playback->heardToEnd()) {
        return;
    }
    if (m_ending.cut()) {
        m_dispatch.output().cutFrom(m_playback->firstUnheard());
    }
    m_playback.reset();
    if (m_done) {
        std::exchange(m_done, {})();
    }
}
