#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "morse/ClockedKeyer.h"
#include "morse/Keyer.h"
#include "morse/MorseDecoder.h"

class Clock;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;

// Free keying: the learner keys, hears the sidetone and reads what the decoder makes of it.
// The key is the space bar or the left mouse button; paddles are the left and right Ctrl keys
// or the left and right mouse buttons. Only this window's own key events count, and losing the
// focus releases every contact, so a key held elsewhere never keys.
class FreeKeyingWindow : public QWidget {
    Q_OBJECT
  public:
    explicit FreeKeyingWindow(Clock& clock, QWidget* parent = nullptr);
    ~FreeKeyingWindow() override;

    // Turns the sidetone on and off with the key (the sound engine's live keyed tone).
    void setSidetone(std::function<void(bool down)> sidetone) { m_sidetone = std::move(sidetone); }

    QString decodedText() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    bool keyEvent(QKeyEvent* event, bool down);
    void contact(Paddle paddle, bool down);
    void applySettings();
    void keyed(const KeyEdge& edge);
    void showAfterSilence();

    Clock& m_clock;
    Keyer m_keyer;
    ClockedKeyer m_clocked;
    std::unique_ptr<MorseDecoder> m_decoder;
    std::function<void(bool)> m_sidetone;
    QComboBox* m_mode;
    QSpinBox* m_speed;
    QLabel* m_keyState;
    QPlainTextEdit* m_text;
    qint64 m_lastEdge = -1;
    quint64 m_silenceCheck = 0;  // the clock's timer id, 0 when none is set
};
