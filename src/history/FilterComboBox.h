#pragma once

#include <QComboBox>
#include <QList>
#include <utility>

// A drop-down list of filter values that a screen reader names by its label ("期間"), with the
// value chosen as its value. On Linux, Qt names every combo box by its current text and
// ignores the accessible name, so the name would change with each choice.
class FilterComboBox : public QComboBox {
    Q_OBJECT
  public:
    FilterComboBox(const QString& objectName, const QString& accessibleName,
                   const QList<std::pair<QString, int>>& items, QWidget* parent = nullptr);

    // Registers the accessible interface of this class with Qt. Safe to call again.
    static void installAccessibility();
};
