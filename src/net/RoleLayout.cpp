#include "net/RoleLayout.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/ControlHelpers.h"
#include "common/MainFormUi.h"
#include "common/SharedTexts.h"

void LeaveChatMode(const MainFormUi& ui) {
    Deselect(ui.ChatMode_Option);
    SetEnabled({ui.optionMoji, ui.optionCw}, false);
}

void ApplyRoleControls(const MainFormUi& ui, LessonState& lesson, bool setter) {
    SetEnabled({ui.StepMode_Option, ui.NormalMode_Option}, !setter);
    ShowMainButton(ui, lesson, setter ? MainButton::Set : MainButton::Ready);
    SetEnabled({ui.StartButton_Command, ui.StopButton_Command}, true);
    Deselect(ui.StepMode_Option);
    Deselect(ui.NormalMode_Option);
    ui.ToneText->setEnabled(!setter);
    SetSpeedControlsEnabled(ui, !setter);
}
