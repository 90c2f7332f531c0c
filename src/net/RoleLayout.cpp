#include "net/RoleLayout.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/ControlHelpers.h"
#include "common/MainFormUi.h"
#include "common/SharedTexts.h"
#include "net/LessonPanel.h"

void LeaveChatMode(const MainFormUi& ui) {
    Deselect(ui.ChatMode_Option);
    SetEnabled({ui.optionMoji, ui.optionCw}, false);
}

void ApplyRoleControls(const MainFormUi& ui, LessonPanel& lesson, bool setter) {
    lesson.applyRole(setter);
    ui.ToneText->setEnabled(!setter);
    SetSpeedControlsEnabled(ui, !setter);
}
