#include "ui/kit/AccessibleValueLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Name: the fixed accessible name. Description and Value: the text on screen.
class ValueLabelInterface : public QAccessibleWidget {
  public:
    explicit ValueLabelInterface(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Description || kind == QAccessible::Value) {
            return static_cast<const QLabel*>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* valueLabelFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(AccessibleValueLabel::staticMetaObject.className())) {
        return nullptr;
    }
    auto* label = qobject_cast<AccessibleValueLabel*>(object);
    return label ? new ValueLabelInterface(label) : nullptr;
}

}  // namespace

AccessibleValueLabel::AccessibleValueLabel(const QString& accessibleName, QWidget* parent)
    : QLabel(parent) {
    installAccessibility();
    setTextFormat(Qt::PlainText);
    setAccessibleName(accessibleName);
}

void AccessibleValueLabel::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(valueLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void AccessibleValueLabel::paintEvent(QPaintEvent* event) {
    // QLabel::setText is not virtual and tells nobody, so a new text is announced when it is
    // painted, which is when it is shown.
    if (text() != m_announcedText) {
        m_announcedText = text();
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
        emit textShown(m_announcedText);
    }
    QLabel::paintEvent(event);
}
