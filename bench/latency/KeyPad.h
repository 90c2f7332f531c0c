#pragma once

#include <QList>
#include <QWidget>

class RealSoundOutput;

// Where the keyed tone's key is handled, as the sending practice will handle it: a widget that
// takes the keyboard focus and keys the program's sound from its key events (the space bar),
// noting on the monotonic clock when each press and release was handled.
class KeyPad : public QWidget {
  public:
    KeyPad(RealSoundOutput& sound, int toneHz);

    const QList<double>& downsMs() const { return m_downs; }
    const QList<double>& upsMs() const { return m_ups; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    RealSoundOutput& m_sound;
    int m_toneHz;
    QList<double> m_downs;
    QList<double> m_ups;
};
