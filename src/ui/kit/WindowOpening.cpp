#include "ui/kit/WindowOpening.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

#include "core/kit/Clock.h"

namespace {

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::HoverEnter:
        case QEvent::HoverMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

// Keeps clicks and keys away from the opener's window while a modal window is open. Qt's own
// modality would do that too, but it also drops the window system's close request for the
// opener, and the main window must stay closable.
class InputBlock : public QObject {
  public:
    explicit InputBlock(QWidget* blocked) : m_blocked(blocked) {
        if (m_blocked != nullptr) {
            qApp->installEventFilter(this);
        }
    }
    ~InputBlock() override {
        if (m_blocked != nullptr) {
            qApp->removeEventFilter(this);
        }
    }
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_blocked == nullptr || !IsInput(event->type()) || !watched->isWidgetType()) {
            return false;
        }
        return static_cast<QWidget*>(watched)->window() == m_blocked;
    }

  private:
    QPointer<QWidget> m_blocked;
};

// A window without a parent widget still stays above the window it was opened from, and
// speaks in its font.
void KeepAbove(QWidget* window, const QWidget* anchor) {
    if (window->parentWidget() != nullptr || anchor == nullptr) {
        return;
    }
    window->setFont(anchor->window()->font());
    QWindow* anchorHandle = anchor->window()->windowHandle();
    if (anchorHandle == nullptr) {
        return;
    }
    window->winId();
    if (QWindow* handle = window->windowHandle()) {
        handle->setTransientParent(anchorHandle);
    }
}

}  // namespace

int TwipsToPixelsX(const QWidget* reference, int twips) {
    return twips * reference->logicalDpiX() / 1440;
}

int TwipsToPixelsY(const QWidget* reference, int twips) {
    return twips * reference->logicalDpiY() / 1440;
}

void PlaceRelativeTo(QWidget* window, const QWidget* anchor, TwipsOffset offset) {
    // pos() of a top-level window is the corner of its frame, as the offsets expect.
    const QPoint corner = anchor->window()->pos();
    window->move(corner.x() + TwipsToPixelsX(anchor, offset.left),
                 corner.y() + TwipsToPixelsY(anchor, offset.top));
}

void ShowModeless(QWidget* window, const QWidget* anchor, TwipsOffset offset) {
    if (anchor != nullptr) {
        PlaceRelativeTo(window, anchor, offset);
    }
    KeepAbove(window, anchor);
    window->show();
}

void ShowModal(Clock& clock, QWidget* window, const QWidget* anchor, TwipsOffset offset) {
    if (clock.quitting()) {
        return;
    }
    const QPointer<QWidget> guarded(window);
    QPointer<QWidget> opener(anchor != nullptr ? anchor->window() : nullptr);
    // Never Qt's own modality: it would swallow the close request of the window below.
    window->setWindowModality(Qt::NonModal);
    {
        const InputBlock block(opener);
        ShowModeless(window, anchor, offset);
        window->raise();
        window->activateWindow();
        WaitUntil(clock, [&guarded] { return !IsOpen(guarded); });
    }
    CloseIfOpen(guarded);
    if (opener != nullptr && QApplication::activeWindow() == nullptr) {
        opener->activateWindow();
    }
}

bool IsOpen(const QWidget* window) {
    return window != nullptr && window->isVisible();
}

void CloseIfOpen(QWidget* window) {
    if (IsOpen(window)) {
        window->close();
    }
}

void CloseAfter(Clock& clock, const QPointer<QWidget>& window, int ms) {
    WhileOpenAfter(clock, window, ms, [window] { window->close(); });
}

void WhileOpenAfter(Clock& clock, QWidget* window, int ms, std::function<void()> step) {
    const QPointer<QWidget> guarded(window);
    clock.scheduleAt(clock.now() + ms, [guarded, step = std::move(step)] {
        if (IsOpen(guarded)) {
            step();
        }
    });
}

void ScheduleClose(Clock& clock, QWidget* window, int ms) {
    const QPointer<QWidget> guarded(window);
    WhileOpenAfter(clock, window, ms, [guarded] { CloseIfOpen(guarded); });
}
