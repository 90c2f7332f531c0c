#pragma once

#include <QPointer>
#include <QScopedValueRollback>
#include <QWidget>
#include <functional>

class Clock;

// The one way the program opens its own windows: placed at an offset from another window, shown
// modal or not, closing themselves after a wait. A window the user closed is never touched
// again: it does not reappear, and closing it a second time does nothing.

// Where a window opens: twips (1/1440 inch) right of and below another window's top-left corner.
struct TwipsOffset {
    int left;
    int top;
};

// A length in twips as pixels at the widget's logical DPI.
int TwipsToPixelsX(const QWidget* reference, int twips);
int TwipsToPixelsY(const QWidget* reference, int twips);

// Moves window so that its top-left corner lies at offset from anchor's window. Call before
// showing it.
void PlaceRelativeTo(QWidget* window, const QWidget* anchor, TwipsOffset offset);

// Places window and shows it; the opener goes on at once.
void ShowModeless(QWidget* window, const QWidget* anchor, TwipsOffset offset);

// Places window, shows it and waits, events running on the clock, until it is closed; ending the
// program ends the wait and closes it. Meanwhile the anchor's window takes no clicks or keys, as
// under a modal window, but a request to close it still reaches it: closing the main window ends
// the program whatever is open.
void ShowModal(Clock& clock, QWidget* window, const QWidget* anchor, TwipsOffset offset);

// Whether the window is shown and has not been closed or destroyed since.
bool IsOpen(const QWidget* window);

// Closes the window unless it is closed already.
void CloseIfOpen(QWidget* window);

// Closes the window ms from now if it is still open then (a self-closing notice); the caller goes
// on at once.
void CloseAfter(Clock& clock, const QPointer<QWidget>& window, int ms);

// Runs step ms from now if the window is still open then; the caller goes on at once. A window
// closed or destroyed meanwhile is left alone.
void WhileOpenAfter(Clock& clock, QWidget* window, int ms, std::function<void()> step);

// Closes the window ms from now unless it is closed by then; the caller goes on at once.
void ScheduleClose(Clock& clock, QWidget* window, int ms);

// Runs an opening unless an earlier one of the same kind is still open, so that a message repeated
// by the peer never stacks a second copy of a notice.
class OneAtATime {
  public:
    template <typename Open>
    void open(Open&& opening) {
        if (m_open) {
            return;
        }
        const QScopedValueRollback guard(m_open, true);
        opening();
    }
    bool isOpen() const { return m_open; }

  private:
    bool m_open = false;
};
