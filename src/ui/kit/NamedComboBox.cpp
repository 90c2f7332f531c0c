#include "ui/kit/NamedComboBox.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Name: the fixed accessible name. Value: the item chosen. The list it drops down is its one
// child, and it can be opened as Qt's own combo box can.
class NamedComboInterface : public QAccessibleWidget {
  public:
    explicit NamedComboInterface(QComboBox* combo)
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

QAccessibleInterface* namedComboFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(NamedComboBox::staticMetaObject.className())) {
        return nullptr;
    }
    auto* combo = qobject_cast<NamedComboBox*>(object);
    return combo != nullptr ? new NamedComboInterface(combo) : nullptr;
}

}  // namespace

NamedComboBox::NamedComboBox(const QString& accessibleName, QWidget* parent) : QComboBox(parent) {
    installAccessibility();
    setAccessibleName(accessibleName);
}

void NamedComboBox::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(namedComboFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
