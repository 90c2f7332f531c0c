#include "morse/MainFormSoundControls.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "common/MainFormUi.h"

void MainFormSoundControls::setWaveLevelBars(const QScrollBar* quality, const QScrollBar* volume) {
    m_quality = quality;
    m_volume = volume;
}

QString MainFormSoundControls::toneText() const {
    return m_ui.ToneText->text();
}

int MainFormSoundControls::fineAdjustValue() const {
    return m_ui.Speed_HScroll->value();
}

SoundGenerator MainFormSoundControls::selectedGenerator() const {
    if (m_ui.mnuSoundWave->isChecked()) {
        return SoundGenerator::Wave;
    }
    if (m_ui.mnuSoundBeep->isChecked()) {
        return SoundGenerator::Beep;
    }
    return SoundGenerator::None;
}

std::optional<int> MainFormSoundControls::selectedSpeed() const {
    if (m_ui.Speed25_Option->isChecked()) {
        return 25;
    }
    if (m_ui.Speed45_Option->isChecked()) {
        return 45;
    }
    if (m_ui.Speed60_Option->isChecked()) {
        return 60;
    }
    return std::nullopt;
}

int MainFormSoundControls::waveQualityLevel() const {
    return m_quality != nullptr ? m_quality->value() : 1;
}

int MainFormSoundControls::waveVolumeLevel() const {
    return m_volume != nullptr ? m_volume->value() : 1;
}
