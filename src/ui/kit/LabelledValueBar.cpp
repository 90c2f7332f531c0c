#include "ui/kit/LabelledValueBar.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLabel>
#include <algorithm>

namespace {

class LabelledValueBarInterface : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit LabelledValueBarInterface(LabelledValueBar* bar)
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

    QVariant currentValue() const override { return bar()->value() * bar()->scale(); }
    void setCurrentValue(const QVariant& value) override {
        bar()->setValue(value.toInt() / bar()->scale());
    }
    QVariant maximumValue() const override {
        return std::max(scaled(bar()->minimum()), scaled(bar()->maximum()));
    }
    QVariant minimumValue() const override {
        return std::min(scaled(bar()->minimum()), scaled(bar()->maximum()));
    }
    QVariant minimumStepSize() const override {
        return bar()->singleStep() * std::abs(bar()->scale());
    }

  private:
    LabelledValueBar* bar() const { return static_cast<LabelledValueBar*>(widget()); }
    int scaled(int value) const { return value * bar()->scale(); }
};

QAccessibleInterface* labelledValueBarFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(LabelledValueBar::staticMetaObject.className())) {
        return nullptr;
    }
    auto* bar = qobject_cast<LabelledValueBar*>(object);
    return bar ? new LabelledValueBarInterface(bar) : nullptr;
}

}  // namespace

LabelledValueBar::LabelledValueBar(int scale, QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent), m_scale(scale == 0 ? 1 : scale) {
    installAccessibility();
}

QString LabelledValueBar::valueDescription() const {
    return m_label ? m_label->text() : QString();
}

void LabelledValueBar::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(labelledValueBarFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
