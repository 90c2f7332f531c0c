#include "MainFormControls.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "MainFormUi.h"

void MainFormControls::setWaveLevelBars(const QScrollBar* quality, const QScrollBar* volume) {
    m_quality = quality;
    m_volume = volume;
}

QString MainFormControls::toneText() const {
    return m_ui.ToneText->text();
}

int MainFormControls::fineAdjustValue() const {
    return m_ui.Speed_HScroll->value();
}

SoundGenerator MainFormControls::selectedGenerator() const {
    if (m_ui.mnuSoundWave->isChecked()) {
        return SoundGenerator::Wave;
    }
    if (m_ui.mnuSoundBeep->isChecked()) {
        return SoundGenerator::Beep;
    }
    return SoundGenerator::None;
}

std::optional<int> MainFormControls::selectedSpeed() const {
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

int MainFormControls::waveQualityLevel() const {
    return m_quality != nullptr ? m_quality->value() : 1;
}

int MainFormControls::waveVolumeLevel() const {
    return m_volume != nullptr ? m_volume->value() : 1;
}
