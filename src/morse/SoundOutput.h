#pragma once

#include <QObject>
#include <QVector>

// The two sounding operations the generators need, and their gaps. One per main
// window; the real one plays through the desktop's sound server. Each returns when
// its sound is (all but a small margin) played; events run meanwhile, so a click, a
// stop or a message is handled at once rather than after a long symbol. A sound
// started by one of those handlers plays after the one already queued.
class SoundOutput : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // A steady tone; returns when the duration has passed.
    virtual void Beep(int frequencyHz, int durationMs) = 0;

    // Plays 16-bit mono samples to their end.
    virtual void PlayWave(const QVector<qint16>& samples, int sampleRate) = 0;

    // A generator's silence between or after elements: a wait on the sound
    // timeline during which events run (Delay's rules apply).
    virtual void Gap(int ms) = 0;

    // Whether sound reaches a real device.
    virtual bool isSoundOn() const = 0;

  signals:
    void soundOnChanged(bool on);
};
