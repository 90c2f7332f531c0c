#include "ui/morse/PracticeSettingsBinding.h"

#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "core/kit/ProgramSettings.h"
#include "core/kit/SpeedTable.h"
#include "core/morse/PracticeSettings.h"
#include "ui/morse/FreeSpeedDialog.h"
#include "ui/morse/SoundUi.h"

PracticeSettingsBinding::PracticeSettingsBinding(const SoundUi& ui, PracticeSettings& settings,
                                                 QObject* parent)
    : QObject(parent), m_ui(ui), m_settings(settings) {
    m_settings.setToneText(ui.ToneText->text());
    m_settings.setFineAdjust(ui.Speed_HScroll->value());
    takeGenerator();
    takeSpeed();
    connect(ui.ToneText, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_settings.setToneText(text); });
    connect(ui.Speed_HScroll, &QScrollBar::valueChanged, this,
            [this](int value) { m_settings.setFineAdjust(value); });
    // Each option's own toggle comes before its other handlers (made later); the group's also
    // comes while an option's signals are blocked.
    for (QAbstractButton* option : ui.speedGroup->buttons()) {
        connect(option, &QAbstractButton::toggled, this, &PracticeSettingsBinding::takeSpeed);
    }
    connect(ui.speedGroup, &QButtonGroup::buttonToggled, this, &PracticeSettingsBinding::takeSpeed);
    connect(ui.mnuSoundWave, &QAction::toggled, this, &PracticeSettingsBinding::takeGenerator);
    connect(ui.mnuSoundBeep, &QAction::toggled, this, &PracticeSettingsBinding::takeGenerator);
    connect(ui.freeSpeedButton, &QPushButton::clicked, this,
            &PracticeSettingsBinding::openFreeSpeedDialog);
    connect(&m_settings, &PracticeSettings::changed, this, &PracticeSettingsBinding::showFreeSpeed);
    showFreeSpeed();
}

void PracticeSettingsBinding::bindWaveLevelBars(const QScrollBar* quality,
                                                const QScrollBar* volume) {
    m_settings.setWaveQuality(quality->value());
    m_settings.setWaveVolume(volume->value());
    connect(quality, &QScrollBar::valueChanged, this,
            [this](int level) { m_settings.setWaveQuality(level); });
    connect(volume, &QScrollBar::valueChanged, this,
            [this](int level) { m_settings.setWaveVolume(level); });
}

void PracticeSettingsBinding::takeGenerator() {
    // The WAV entry is tested first, as the menu's handlers do.
    if (m_ui.mnuSoundWave->isChecked()) {
        m_settings.setGenerator(SoundGenerator::Wave);
    } else if (m_ui.mnuSoundBeep->isChecked()) {
        m_settings.setGenerator(SoundGenerator::Beep);
    } else {
        m_settings.setGenerator(SoundGenerator::None);
    }
}

void PracticeSettingsBinding::takeSpeed() {
    const Speed* speed = SelectedSpeed(m_ui);
    m_settings.setSpeed(speed != nullptr ? std::optional<int>(speed->perMinute) : std::nullopt);
    m_settings.setFreeChosen(m_ui.SpeedFree_Option->isChecked());
    EnableFineAdjust(m_ui);
}

void PracticeSettingsBinding::showFreeSpeed() {
    m_ui.freeSpeedLabel->setText(FreeSpeedText(m_settings.freeFigures()));
}

void PracticeSettingsBinding::loadFreeSpeed() {
    const FreeSpeedChoice choice = LoadFreeSpeedChoice(ProgramSettings(m_storePath));
    m_settings.setFreeFigures(choice.speed);
    if (choice.chosen) {
        m_ui.SpeedFree_Option->click();
    }
}

void PracticeSettingsBinding::openFreeSpeedDialog() {
    ProgramSettings store(m_storePath);
    FreeSpeedDialog dialog(store, m_ui.freeSpeedButton->window());
    dialog.setSpeed(m_settings.freeFigures(), m_ui.ToneText->text());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_settings.setFreeFigures(dialog.speed());
    m_ui.ToneText->setText(dialog.toneText());
    if (!m_ui.SpeedFree_Option->isChecked()) {
        m_ui.SpeedFree_Option->click();
    }
}
