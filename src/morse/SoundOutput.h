#pragma once

#include <QObject>
#include <QVector>

// The two blocking operations the generators need, and their gaps. One per main
// window; the real one plays through the desktop's sound server.
class SoundOutput : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // A steady tone; returns when the duration has passed. Runs no events.
    virtual void Beep(int frequencyHz, int durationMs) = 0;

    // Plays 16-bit mono samples to their end. Runs no events.
    virtual void PlayWave(const QVector<qint16>& samples, int sampleRate) = 0;

    // A generator's silence between or after elements: a wait on the sound
    // timeline during which events run (Delay's rules apply).
    virtual void Gap(int ms) = 0;

    // Whether sound reaches a real device.
    virtual bool isSoundOn() const = 0;

  signals:
    void soundOnChanged(bool on);
};
