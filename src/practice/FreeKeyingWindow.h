#pragma once

#include <QWidget>
#include <functional>

class Clock;
class KeyingPad;
class QPlainTextEdit;
struct KeyInputSettings;

// Free keying: the learner keys on the pad, hears the sidetone and reads what the decoder makes
// of it.
class FreeKeyingWindow : public QWidget {
    Q_OBJECT
  public:
    explicit FreeKeyingWindow(Clock& clock, QWidget* parent = nullptr);

    void setSettings(const KeyInputSettings& settings);
    // Turns the sidetone on and off with the key (the sound engine's live keyed tone).
    void setSidetone(std::function<void(bool down)> sidetone);

    KeyingPad& pad() const { return *m_pad; }
    QString decodedText() const;

  private:
    KeyingPad* m_pad;
    QPlainTextEdit* m_text;
};
