#include "ui/kit/OptionGroupKeys.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QList>

namespace {

class OptionGroupKeys final : public QObject {
  public:
    explicit OptionGroupKeys(QButtonGroup* group) : QObject(group), m_group(group) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        int step = 0;
        switch (key->key()) {
            case Qt::Key_Up:
            case Qt::Key_Left:
                step = -1;
                break;
            case Qt::Key_Down:
            case Qt::Key_Right:
                step = 1;
                break;
            default:
                return false;
        }
        choose(qobject_cast<QAbstractButton*>(watched), step);
        return true;
    }

  private:
    void choose(QAbstractButton* from, int step) const {
        const QList<QAbstractButton*> options = m_group->buttons();
        const auto count = options.size();
        const auto start = options.indexOf(from);
        if (start < 0) {
            return;
        }
        QAbstractButton* target = from;
        for (qsizetype offset = 1; offset < count; ++offset) {
            QAbstractButton* candidate =
                options.at(((start + step * offset) % count + count) % count);
            if (candidate->isEnabled() && candidate->isVisibleTo(candidate->window())) {
                target = candidate;
                break;
            }
        }
        target->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        if (!target->isChecked()) {
            target->click();
        }
    }

    QButtonGroup* m_group;
};

}  // namespace

void ChooseWithArrowKeys(QButtonGroup* group) {
    auto* keys = new OptionGroupKeys(group);
    for (QAbstractButton* option : group->buttons()) {
        option->installEventFilter(keys);
    }
}
