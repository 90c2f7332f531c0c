#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QString>
#include <array>
#include <optional>

#include "common/MainFormUi.h"

// Small operations on the main window's controls that the peer link's handlers share.
namespace NetControls {

inline const QColor kRed(255, 0, 0);
inline const QColor kBlack(0, 0, 0);

// An exclusive group refuses to leave all its buttons unchecked, so it lets go for a moment.
inline void Deselect(QAbstractButton* button) {
    QButtonGroup* group = button->group();
    const bool exclusive = group != nullptr && group->exclusive();
    if (exclusive) {
        group->setExclusive(false);
    }
    button->setChecked(false);
    if (exclusive) {
        group->setExclusive(true);
    }
}

inline void SetColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

struct Speed {
    QString text;  // "25", "45", "60"
    QString code;  // "1", "2", "3" on the wire
    QRadioButton* option;
};

inline std::array<Speed, 3> Speeds(const MainFormUi& ui) {
    return {{{QStringLiteral("25"), QStringLiteral("1"), ui.Speed25_Option},
             {QStringLiteral("45"), QStringLiteral("2"), ui.Speed45_Option},
             {QStringLiteral("60"), QStringLiteral("3"), ui.Speed60_Option}}};
}

// The first selected speed option, if any.
inline std::optional<Speed> SelectedSpeed(const MainFormUi& ui) {
    for (const Speed& speed : Speeds(ui)) {
        if (speed.option->isChecked()) {
            return speed;
        }
    }
    return std::nullopt;
}

inline void SetSpeedControlsEnabled(const MainFormUi& ui, bool enabled) {
    for (const Speed& speed : Speeds(ui)) {
        speed.option->setEnabled(enabled);
    }
    ui.Speed_HScroll->setEnabled(enabled);
}

// Choosing a role leaves chat mode: no chat kind can be chosen until it is selected again.
inline void LeaveChatMode(const MainFormUi& ui) {
    Deselect(ui.ChatMode_Option);
    ui.optionMoji->setEnabled(false);
    ui.optionCw->setEnabled(false);
}

// The main button, the receive modes, the tone and the speeds as the own role leaves them:
// the setter composes, the answerer chooses how to receive.
inline void ApplyRoleControls(const MainFormUi& ui, bool setter) {
    ui.StepMode_Option->setEnabled(!setter);
    ui.NormalMode_Option->setEnabled(!setter);
    ui.StartButton_Command->setText(setter ? QStringLiteral("出題") : QStringLiteral("準備OK"));
    ui.StartButton_Command->setEnabled(true);
    ui.StopButton_Command->setEnabled(true);
    Deselect(ui.StepMode_Option);
    Deselect(ui.NormalMode_Option);
    ui.ToneText->setEnabled(!setter);
    SetSpeedControlsEnabled(ui, !setter);
}

}  // namespace NetControls
