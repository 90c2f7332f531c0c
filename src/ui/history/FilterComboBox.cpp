#include "ui/history/FilterComboBox.h"

FilterComboBox::FilterComboBox(const QString& objectName, const QString& accessibleName,
                               const QList<std::pair<QString, int>>& items, QWidget* parent)
    : NamedComboBox(accessibleName, parent) {
    setObjectName(objectName);
    for (const auto& [text, value] : items) {
        addItem(text, value);
    }
}
