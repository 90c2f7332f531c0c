#pragma once

#include <QList>
#include <utility>

#include "ui/kit/NamedComboBox.h"

// A drop-down list of filter values, named by its label, each item carrying its value.
class FilterComboBox : public NamedComboBox {
    Q_OBJECT
  public:
    FilterComboBox(const QString& objectName, const QString& accessibleName,
                   const QList<std::pair<QString, int>>& items, QWidget* parent = nullptr);
};
