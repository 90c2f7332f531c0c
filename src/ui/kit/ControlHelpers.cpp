#include "ui/kit/ControlHelpers.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPalette>

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

void SetVisible(std::initializer_list<QWidget*> controls, bool visible) {
    for (QWidget* control : controls) {
        control->setVisible(visible);
    }
}

void NameControls(std::initializer_list<ControlName> names) {
    for (const ControlName& name : names) {
        name.control->setObjectName(name.objectName);
        if (!name.accessibleName.isEmpty()) {
            name.control->setAccessibleName(name.accessibleName);
        }
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
