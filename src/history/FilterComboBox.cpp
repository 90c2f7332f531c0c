#include "history/FilterComboBox.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Name: the fixed accessible name. Value: the item chosen. The list it drops down is its one
// child, and it can be opened as Qt's own combo box can.
class FilterComboInterface : public QAccessibleWidget {
  public:
    explicit FilterComboInterface(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return combo()->currentText();
        }
        return QAccessibleWidget::text(kind);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == combo()->view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            combo()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* filterComboFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(FilterComboBox::staticMetaObject.className())) {
        return nullptr;
    }
    auto* combo = qobject_cast<FilterComboBox*>(object);
    return combo != nullptr ? new FilterComboInterface(combo) : nullptr;
}

}  // namespace

FilterComboBox::FilterComboBox(const QString& objectName, const QString& accessibleName,
                               const QList<std::pair<QString, int>>& items, QWidget* parent)
    : QComboBox(parent) {
    installAccessibility();
    setObjectName(objectName);
    setAccessibleName(accessibleName);
    for (const auto& [text, value] : items) {
        addItem(text, value);
    }
}

void FilterComboBox::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(filterComboFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
