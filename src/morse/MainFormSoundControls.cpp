#include "morse/MainFormSoundControls.h"

#include <QAction>
#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "common/ControlHelpers.h"
#include "common/MainFormUi.h"
#include "common/SpeedTable.h"

MainFormSoundControls::MainFormSoundControls(const MainFormUi& ui) : m_ui(ui) {
    countChanges(ui.ToneText, &QLineEdit::textChanged);
    countChanges(ui.Speed_HScroll, &QScrollBar::valueChanged);
    countChanges(ui.speedGroup, &QButtonGroup::buttonToggled);
    countChanges(ui.mnuSoundWave, &QAction::toggled);
    countChanges(ui.mnuSoundBeep, &QAction::toggled);
}

void MainFormSoundControls::setWaveLevelBars(const QScrollBar* quality, const QScrollBar* volume) {
    m_quality = quality;
    m_volume = volume;
    countChanges(quality, &QScrollBar::valueChanged);
    countChanges(volume, &QScrollBar::valueChanged);
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
    if (const Speed* speed = SelectedSpeed(m_ui)) {
        return speed->perMinute;
    }
    return std::nullopt;
}

int MainFormSoundControls::waveQualityLevel() const {
    return m_quality != nullptr ? m_quality->value() : 1;
}

int MainFormSoundControls::waveVolumeLevel() const {
    return m_volume != nullptr ? m_volume->value() : 1;
}
