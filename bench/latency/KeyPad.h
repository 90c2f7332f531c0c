#pragma once

#include <QList>
#include <QWidget>

class Clock;
class KeyingPad;
class RealSoundOutput;

// Where the keyed tone's key is handled: a widget that takes the keyboard focus and keys the
// program's sound from its key events (the space bar), noting on the monotonic clock when each
// press and release was handled. Directly, or through the sending practice's keying pad (a
// straight key on the space bar: pad -> keyer -> sidetone -> the live stream), with the times
// noted as each event reaches the pad.
class KeyPad : public QWidget {
  public:
    KeyPad(RealSoundOutput& sound, int toneHz);
    KeyPad(RealSoundOutput& sound, int toneHz, Clock& clock);

    const QList<double>& downsMs() const { return m_downs; }
    const QList<double>& upsMs() const { return m_ups; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool note(QKeyEvent* event);

    RealSoundOutput& m_sound;
    int m_toneHz;
    KeyingPad* m_pad = nullptr;
    QList<double> m_downs;
    QList<double> m_ups;
};
