#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QSignalBlocker>
#include <QString>
#include <initializer_list>

class QLabel;
class QWidget;

// Small operations on controls that several subsystems share.

inline const QColor kRed(255, 0, 0);
inline const QColor kBlack(0, 0, 0);

// Unchecks an option button; its exclusive group lets go for the moment, since an exclusive
// group refuses to leave all its buttons unchecked.
void Deselect(QAbstractButton* button);

// Runs handler when the option becomes selected, by the user or from code, and only then: an
// option selected from code behaves as the user's selection, and selecting it again does nothing.
template <typename Handler>
void OnSelected(QAbstractButton* option, QObject* receiver, Handler handler) {
    QObject::connect(option, &QAbstractButton::toggled, receiver, [handler](bool checked) {
        if (checked) {
            handler();
        }
    });
}

// Selects an option from code as the user's selection would: when it was not selected before,
// its handler runs, called here rather than left to its signal, so that the call is explicit.
template <typename Handler>
void SelectAndRun(QAbstractButton* option, Handler handler) {
    if (option->isChecked()) {
        return;
    }
    {
        const QSignalBlocker quiet(option);
        option->setChecked(true);
    }
    handler();
}

// The text colour of a label.
void SetColour(QLabel* label, const QColor& colour);
// A label's caption and colour in one step.
void ShowLabel(QLabel* label, const QString& caption, const QColor& colour);

void SetEnabled(std::initializer_list<QWidget*> controls, bool enabled);
void SetVisible(std::initializer_list<QWidget*> controls, bool visible);

// A control's object name, for tests and desktop checks, and the name a screen reader says (none:
// it names itself, as a named combo box or value label does).
struct ControlName {
    QWidget* control;
    QString objectName;
    QString accessibleName;
};
void NameControls(std::initializer_list<ControlName> names);

// A button's new caption, its access key kept: QAbstractButton::setText replaces the key with
// the caption's own mnemonic, and the captions the program changes have none.
void SetCaption(QAbstractButton* button, const QString& caption);

// An access key (Alt + key) beside a dialog button's caption rather than in it: the caption stays
// what users and screen readers know it by, and the tool tip tells the key.
void GiveAccessKey(QAbstractButton* button, char key);
