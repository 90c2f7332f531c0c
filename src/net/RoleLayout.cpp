#include "net/RoleLayout.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/ControlHelpers.h"
#include "common/SharedTexts.h"
#include "morse/SoundUi.h"
#include "net/LessonPanel.h"
#include "net/LinkUi.h"

void LeaveChatMode(const LinkUi& ui) {
    Deselect(ui.ChatMode_Option);
    SetEnabled({ui.optionMoji, ui.optionCw}, false);
}

void ApplyRoleControls(const SoundUi& ui, LessonPanel& lesson, bool setter) {
    lesson.applyRole(setter);
    ui.ToneText->setEnabled(!setter);
    SetSpeedControlsEnabled(ui, !setter);
}
