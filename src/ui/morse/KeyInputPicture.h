#pragma once

#include <QWidget>

#include "core/morse/Keyer.h"

// A live picture of the contacts: one key, or a pair of paddles, each lit while it is closed,
// with the same state as text for screen readers.
class KeyInputPicture : public QWidget {
    Q_OBJECT
  public:
    explicit KeyInputPicture(QWidget* parent = nullptr);

    void setPaddles(bool paddles);
    void setContact(Paddle paddle, bool down);
    void releaseAll();
    // "押す" / "離す" for each contact, as screen readers hear it.
    QString stateText() const;

    QSize sizeHint() const override { return {160, 56}; }
    // Never squeezed below what it draws, so it cannot run into the hint under it.
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void showState();

    bool m_paddles = false;
    bool m_down[2] = {false, false};
};
