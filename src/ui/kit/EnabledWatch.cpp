#include "ui/kit/EnabledWatch.h"

#include <QEvent>
#include <QWidget>

namespace {

// Owned by the widget it watches.
class EnabledFilter : public QObject {
  public:
    EnabledFilter(QWidget* widget, std::function<void(bool)> changed)
        : QObject(widget), m_widget(widget), m_changed(std::move(changed)) {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Sent from within setEnabled, so the model has it before the setter returns.
        if (watched == m_widget && event->type() == QEvent::EnabledChange) {
            m_changed(m_widget->isEnabled());
        }
        return false;
    }

  private:
    QWidget* m_widget;
    std::function<void(bool)> m_changed;
};

}  // namespace

void WatchEnabled(QWidget* widget, std::function<void(bool enabled)> changed) {
    changed(widget->isEnabled());
    new EnabledFilter(widget, std::move(changed));
}
