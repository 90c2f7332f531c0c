#pragma once

#include <QComboBox>

// A drop-down list that a screen reader names by its label ("期間", "入力"), with the item
// chosen as its value. On Linux, Qt names every combo box by its current text and ignores the
// accessible name, so the name would change with each choice.
class NamedComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit NamedComboBox(const QString& accessibleName, QWidget* parent = nullptr);

    // Registers the accessible interface of this class with Qt. Safe to call again.
    static void installAccessibility();
};
