#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "core/morse/KeyInputSettings.h"
#include "core/morse/KeyInputTime.h"
#include "core/morse/KeyingSession.h"

class Clock;
class KeyInputPicture;
class QInputEvent;
class QLabel;
class SerialKeyPoller;

// The surface the learner keys on: the chosen key, paddles, mouse buttons or serial lines are
// forwarded, each with the time it moved, to its keying session, which keys, decodes and keeps
// the marks and gaps; the pad draws the contacts. Only the pad's own events count, so a key held
// down in another window does nothing, and losing the focus releases every contact.
class KeyingPad : public QWidget {
    Q_OBJECT
  public:
    explicit KeyingPad(Clock& clock, QWidget* parent = nullptr);
    ~KeyingPad() override;

    void setSettings(const KeyInputSettings& settings);
    const KeyInputSettings& settings() const { return m_settings; }

    // Turns the sidetone on and off with the key.
    void setSidetone(std::function<void(bool down)> sidetone) {
        m_session.setSidetone(std::move(sidetone));
    }

    KeyingSession& session() { return m_session; }
    QString decodedText() const { return m_session.decodedText(); }
    // What MakeFistReport takes.
    const std::vector<DecodedElement>& timings() const { return m_session.timings(); }
    const std::vector<DecodedCharacter>& characters() const { return m_session.characters(); }
    // Releases the key and starts the decoding and the timings afresh.
    void reset();
    // Without the hint line under the picture (where room is short); it stays the pad's tool tip
    // and accessible description.
    void setCompact(bool compact);
    // The keying has ended: releases the key and decodes what the decoder still holds back.
    void finish();

  signals:
    // A character, or " " between words, as the decoder gives them.
    void characterDecoded(const QString& text);
    void keyStateChanged(bool down);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    bool keyEvent(QKeyEvent* event, bool down);
    // at: when the contact moved, on the clock.
    void contact(Paddle paddle, bool down, qint64 at);
    qint64 eventTime(const QInputEvent& event);
    void releaseAll();
    void openSerial();
    void showProblem(const QString& message);

    Clock& m_clock;
    KeyInputSettings m_settings;
    KeyInputTime m_inputTime;
    KeyingSession m_session;
    std::unique_ptr<SerialKeyPoller> m_serial;
    KeyInputPicture* m_picture;
    QLabel* m_hint;
    QLabel* m_problem;
};
