#include "ui/morse/SoundUi.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

QRadioButton* SpeedOption(const SoundUi& ui, const Speed& speed) {
    for (std::size_t index = 0; index < kSpeeds.size(); ++index) {
        if (kSpeeds[index].perMinute == speed.perMinute) {
            return ui.*kSpeedOptions[index];
        }
    }
    return nullptr;
}

const Speed* SelectedSpeed(const SoundUi& ui) {
    for (const Speed& speed : kSpeeds) {
        if (SpeedOption(ui, speed)->isChecked()) {
            return &speed;
        }
    }
    return nullptr;
}

void SetSpeedControlsEnabled(const SoundUi& ui, bool enabled) {
    for (const Speed& speed : kSpeeds) {
        SpeedOption(ui, speed)->setEnabled(enabled);
    }
    ui.SpeedFree_Option->setEnabled(enabled);
    ui.freeSpeedButton->setEnabled(enabled);
    EnableFineAdjust(ui);
}

void EnableFineAdjust(const SoundUi& ui) {
    // The option's own flag, not whether a window above it is disabled too.
    const bool speedsEnabled = !ui.SpeedFree_Option->testAttribute(Qt::WA_ForceDisabled);
    ui.Speed_HScroll->setEnabled(speedsEnabled && !ui.SpeedFree_Option->isChecked());
}
