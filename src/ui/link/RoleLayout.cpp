#include "ui/link/RoleLayout.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/SharedTexts.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/link/LessonPanel.h"
#include "ui/link/LinkUi.h"
#include "ui/morse/SoundUi.h"

void LeaveChatMode(const LinkUi& ui) {
    Deselect(ui.ChatMode_Option);
    SetEnabled({ui.optionMoji, ui.optionCw}, false);
}

void ApplyRoleControls(const SoundUi& ui, LessonPanel& lesson, bool setter) {
    lesson.applyRole(setter);
    ui.ToneText->setEnabled(!setter);
    SetSpeedControlsEnabled(ui, !setter);
}
