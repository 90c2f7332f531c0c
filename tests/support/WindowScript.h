#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <functional>

#include "support/VirtualClock.h"

// Scripts the program's windows from a test. Modal windows wait on the clock, so a test schedules
// what the user does (a button pressed, a window closed) on the virtual clock, and it happens
// inside the modal wait when virtual time gets there.

// The shown top-level window with this objectName, or null.
inline QWidget* ShownWindow(const QString& objectName) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == objectName && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

// The named button of a shown window, or null.
inline QAbstractButton* ShownButton(const QString& window, const QString& button) {
    QWidget* shown = ShownWindow(window);
    return shown != nullptr ? shown->findChild<QAbstractButton*>(button) : nullptr;
}

// Runs action afterMs from now on the window of that name, if it is shown then; notes whether
// it was, so that a test can tell a window that never opened from one it handled.
class WindowStep {
  public:
    WindowStep(VirtualClock& clock, int afterMs, const QString& window,
               std::function<void(QWidget*)> action)
        : m_seen(std::make_shared<bool>(false)) {
        auto seen = m_seen;
        clock.scheduleAt(clock.now() + afterMs, [seen, window, action] {
            if (QWidget* shown = ShownWindow(window)) {
                *seen = true;
                action(shown);
            }
        });
    }
    bool ran() const { return *m_seen; }

  private:
    std::shared_ptr<bool> m_seen;
};

// Presses a button of a window afterMs from now, as the user would.
inline WindowStep PressAt(VirtualClock& clock, int afterMs, const QString& window,
                          const QString& button) {
    return WindowStep(clock, afterMs, window, [button](QWidget* shown) {
        if (auto* target = shown->findChild<QAbstractButton*>(button)) {
            target->click();
        }
    });
}

// Closes a window afterMs from now by its close box, or by Esc when viaEscape.
inline WindowStep CloseAt(VirtualClock& clock, int afterMs, const QString& window,
                          bool viaEscape = false) {
    return WindowStep(clock, afterMs, window, [viaEscape](QWidget* shown) {
        if (viaEscape) {
            QTest::keyClick(shown, Qt::Key_Escape);
        } else {
            shown->close();
        }
    });
}

// Whether a real click on the widget reaches it (a modal window keeps clicks away from the
// window below it).
inline bool ClickReaches(QAbstractButton* button) {
    bool reached = false;
    const auto connection =
        QObject::connect(button, &QAbstractButton::clicked, [&reached] { reached = true; });
    QTest::mouseClick(button, Qt::LeftButton);
    QObject::disconnect(connection);
    return reached;
}

// The objectNames the focus reaches from first, in its active window, and at each Tab.
inline QStringList TabOrder(QWidget* first, int steps) {
    QStringList names;
    if (QTest::qWaitForWindowActive(first->window())) {
        first->setFocus();
        for (; names.size() <= steps; QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab)) {
            names << QApplication::focusWidget()->objectName();
        }
    }
    return names;
}

// Runs action once on the window of that name as soon as it is shown, looking every 100 ms of
// virtual time for up to giveUpMs; ran() tells whether it was ever shown.
class WhenShown {
  public:
    WhenShown(VirtualClock& clock, const QString& window, std::function<void(QWidget*)> action,
              int giveUpMs = 600000)
        : m_state(std::make_shared<State>()) {
        m_state->clock = &clock;
        m_state->window = window;
        m_state->action = std::move(action);
        m_state->giveUpAt = clock.now() + giveUpMs;
        Look(m_state);
    }
    bool ran() const { return m_state->ran; }

  private:
    struct State {
        VirtualClock* clock;
        QString window;
        std::function<void(QWidget*)> action;
        qint64 giveUpAt;
        bool ran = false;
    };
    static void Look(const std::shared_ptr<State>& state) {
        std::weak_ptr<State> weak = state;
        state->clock->scheduleAt(state->clock->now() + 100, [weak] {
            const auto s = weak.lock();
            if (!s) {
                return;
            }
            if (QWidget* shown = ShownWindow(s->window)) {
                s->ran = true;
                s->action(shown);
            } else if (s->clock->now() < s->giveUpAt) {
                Look(s);
            }
        });
    }
    std::shared_ptr<State> m_state;
};

// Presses a button of a window as soon as it is shown.
inline WhenShown PressWhenShown(VirtualClock& clock, const QString& window, const QString& button) {
    return WhenShown(clock, window, [button](QWidget* shown) {
        if (auto* target = shown->findChild<QAbstractButton*>(button)) {
            target->click();
        }
    });
}

// Presses a button of a window whenever that window is shown, for as long as it lives, looking
// every 100 ms of virtual time (a user who always dismisses a notice).
class AlwaysPress {
  public:
    AlwaysPress(VirtualClock& clock, QString window, QString button)
        : m_state(std::make_shared<State>(State{&clock, std::move(window), std::move(button)})) {
        Look(m_state);
    }
    int presses() const { return m_state->presses; }

  private:
    struct State {
        VirtualClock* clock;
        QString window;
        QString button;
        int presses = 0;
    };
    static void Look(const std::shared_ptr<State>& state) {
        std::weak_ptr<State> weak = state;
        state->clock->scheduleAt(state->clock->now() + 100, [weak] {
            const auto s = weak.lock();
            if (!s) {
                return;
            }
            if (QAbstractButton* target = ShownButton(s->window, s->button)) {
                ++s->presses;
                target->click();
            }
            Look(s);
        });
    }
    std::shared_ptr<State> m_state;
};
