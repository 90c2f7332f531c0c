#include "LessonPlayer.h"

#include "LessonSigns.h"
#include "morse/MorseTiming.h"

LessonPlayer::LessonPlayer(SoundOutput& output, const Clock& clock, const QString& folder)
    : m_output(output),
      m_places(folder, folder),
      m_beep(output, m_controls, m_state, clock),
      m_wave(output, m_controls, m_state, clock, m_places),
      m_dispatch(m_beep, m_wave, output, m_controls, m_state) {}

void LessonPlayer::soundCallUp() {
    const int unit = UnitForSpeed(m_controls.speed);
    for (SymbolId symbol : {SymbolId::H, SymbolId::R, SymbolId::H, SymbolId::R, SymbolId::BT}) {
        if (m_controls.generator == SoundGenerator::Wave) {
            m_wave.SoundCharacterWave(symbol, unit, kLessonToneHz);
        } else {
            m_beep.SoundCharacterBeep(symbol, unit, 3 * unit);
        }
    }
}

void LessonPlayer::play(const QString& question) {
    soundCallUp();
    for (const QChar character : question + u'.') {
        m_dispatch.SoundCharacter(character, CharacterTable::Question);
    }
    m_output.Beep(kLessonToneHz, kMarkerMs);
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
