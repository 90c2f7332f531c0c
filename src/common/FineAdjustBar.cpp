#include "common/FineAdjustBar.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

class FineAdjustBarInterface : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit FineAdjustBarInterface(FineAdjustBar* bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Description || kind == QAccessible::Value) {
            return bar()->valueDescription();
        }
        return QAccessibleWidget::text(kind);
    }

    // The change of speed: the bar's value with the opposite sign.
    QVariant currentValue() const override { return -bar()->value(); }
    void setCurrentValue(const QVariant& value) override { bar()->setValue(-value.toInt()); }
    QVariant maximumValue() const override { return -bar()->minimum(); }
    QVariant minimumValue() const override { return -bar()->maximum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

  private:
    FineAdjustBar* bar() const { return static_cast<FineAdjustBar*>(widget()); }
};

QAccessibleInterface* fineAdjustBarFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(FineAdjustBar::staticMetaObject.className())) {
        return nullptr;
    }
    auto* bar = qobject_cast<FineAdjustBar*>(object);
    return bar ? new FineAdjustBarInterface(bar) : nullptr;
}

}  // namespace

FineAdjustBar::FineAdjustBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    installAccessibility();
}

QString FineAdjustBar::valueDescription() const {
    return m_label ? m_label->text() : QString();
}

void FineAdjustBar::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(fineAdjustBarFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
