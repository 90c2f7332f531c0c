#include "common/ControlHelpers.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "common/MainFormUi.h"
#include "common/SpeedTable.h"

void Deselect(QAbstractButton* button) {
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

void SetColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void ShowLabel(QLabel* label, const QString& caption, const QColor& colour) {
    SetColour(label, colour);
    label->setText(caption);
}

void SetEnabled(std::initializer_list<QWidget*> controls, bool enabled) {
    for (QWidget* control : controls) {
        control->setEnabled(enabled);
    }
}

void SetCaption(QAbstractButton* button, const QString& caption) {
    const QKeySequence key = button->shortcut();
    button->setText(caption);
    button->setShortcut(key);
}

void GiveAccessKey(QAbstractButton* button, char key) {
    const QKeySequence sequence(QKeyCombination(Qt::AltModifier, Qt::Key(key)));
    button->setShortcut(sequence);
    button->setToolTip(button->text() + QStringLiteral(" (") +
                       sequence.toString(QKeySequence::NativeText) + u')');
}

void ShowMainButton(const MainFormUi& ui, LessonState& lesson, MainButton state) {
    lesson.mainButton = state;
    SetCaption(ui.StartButton_Command, Caption(state));
}

void ShowStopButton(const MainFormUi& ui, LessonState& lesson, StopButton state) {
    lesson.stopButton = state;
    SetCaption(ui.StopButton_Command, Caption(state));
}

void ShowPlayedCount(const MainFormUi& ui, LessonState& lesson, std::optional<int> count) {
    lesson.shownPlayed = count;
    ui.Label4->setText(CountText(count));
}

void ShowCorrectCount(const MainFormUi& ui, LessonState& lesson, std::optional<int> count) {
    lesson.shownCorrect = count;
    ui.Label2->setText(CountText(count));
}

QRadioButton* SpeedOption(const MainFormUi& ui, const Speed& speed) {
    return ui.*speed.option;
}

const Speed* SelectedSpeed(const MainFormUi& ui) {
    for (const Speed& speed : kSpeeds) {
        if (SpeedOption(ui, speed)->isChecked()) {
            return &speed;
        }
    }
    return nullptr;
}

void SetSpeedControlsEnabled(const MainFormUi& ui, bool enabled) {
    for (const Speed& speed : kSpeeds) {
        SpeedOption(ui, speed)->setEnabled(enabled);
    }
    ui.Speed_HScroll->setEnabled(enabled);
}
