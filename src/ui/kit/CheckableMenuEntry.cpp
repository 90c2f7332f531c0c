#include "ui/kit/CheckableMenuEntry.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPointer>

namespace {

QMenu* OwningMenu(QAction* action) {
    for (QObject* owner : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(owner)) {
            return menu;
        }
    }
    return nullptr;
}

class CheckableMenuEntryInterface final : public QAccessibleInterface,
                                          public QAccessibleActionInterface {
  public:
    CheckableMenuEntryInterface(QAction* action, QMenu* menu) : m_action(action), m_menu(menu) {}

    bool isValid() const override { return m_action && m_menu; }
    QObject* object() const override { return m_action; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_menu);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return QString(m_action->text()).remove(u'&');
        }
        if (kind == QAccessible::Accelerator) {
            return m_action->shortcut().toString(QKeySequence::NativeText);
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const QRect place = m_menu->actionGeometry(m_action);
        return place.translated(m_menu->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::Role role() const override {
        const QActionGroup* group = m_action->actionGroup();
        return group != nullptr && group->isExclusive() ? QAccessible::RadioButton
                                                        : QAccessible::CheckBox;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.checkable = true;
        state.checked = m_action->isChecked();
        state.disabled = !m_action->isEnabled();
        state.invisible = !m_action->isVisible() || !m_menu->isVisible();
        state.focusable = true;
        state.focused = m_menu->activeAction() == m_action;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
    void doAction(const QString& name) override {
        if (m_action->isEnabled() && (name == pressAction() || name == toggleAction())) {
            m_action->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QPointer<QAction> m_action;
    QPointer<QMenu> m_menu;
};

QAccessibleInterface* checkableMenuEntryFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(QAction::staticMetaObject.className())) {
        return nullptr;
    }
    auto* action = qobject_cast<QAction*>(object);
    if (action == nullptr || !action->isCheckable() || action->menu() != nullptr) {
        return nullptr;
    }
    QMenu* menu = OwningMenu(action);
    return menu ? new CheckableMenuEntryInterface(action, menu) : nullptr;
}

}  // namespace

void ExposeCheckableMenuEntries() {
    static const bool installed = [] {
        QAccessible::installFactory(checkableMenuEntryFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
