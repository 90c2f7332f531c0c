#include "LessonPlayer.h"

#include "LessonSigns.h"
#include "morse/MorseTiming.h"
#include "morse/PlannedPlayback.h"

LessonPlayer::LessonPlayer(SoundOutput& output, const Clock& clock, const QString& folder)
    : m_output(output),
      m_places(folder, folder),
      m_beep(output, m_controls, m_state, clock),
      m_wave(output, m_controls, m_state, clock, m_places),
      m_dispatch(m_beep, m_wave, output, m_controls, m_state) {}

void LessonPlayer::play(const QString& question) {
    // As the lesson does: the call-up and the question on one plan, kept a second ahead.
    PlannedPlayback playback(m_output, m_controls);
    const auto never = [] { return false; };
    for (SymbolId symbol : {SymbolId::H, SymbolId::R, SymbolId::H, SymbolId::R, SymbolId::BT}) {
        playback.add([this, symbol] { m_dispatch.SoundSymbol(symbol); });
        playback.keepAhead(never);
    }
    for (const QChar character : question + u'.') {
        playback.add(
            [this, character] { m_dispatch.SoundCharacter(character, CharacterTable::Question); });
        playback.keepAhead(never);
    }
    playback.add([this] { m_output.planTone(kLessonToneHz, kMarkerMs); });
    playback.finish(never);
}

QString LessonPlayer::wavePath(const QString& signName) const {
    if (signName == u"AR") {
        return m_wave.FilePath(SymbolId::AR);
    }
    if (signName == u"BT") {
        return m_wave.FilePath(SymbolId::BT);
    }
    const std::optional<SymbolId> symbol = SymbolForAlphanumeric(signName.front());
    return symbol ? m_wave.FilePath(*symbol) : QString();
}
