#pragma once

#include <QVector>
#include <memory>

#include "core/sound/BandRenderer.h"
#include "core/sound/SoundTimeline.h"

// The band's conditions as the sound output plans: where the renderer's timeline stands, the
// effects' changes to the wanted signal's element lengths, and the samples the renderer gives. The
// renderer's timeline counts planned sound only: after a silence it goes on where the sound before
// it ended, so the conditions of a playback depend only on what it planned since its origin, not
// on how long the listener took between its parts.
class BandMixer {
  public:
    // Off (nothing is touched) when no effect is on.
    void setSettings(const BandSettings& settings);
    bool isOn() const { return m_renderer != nullptr; }
    const BandRenderer* renderer() const { return m_renderer.get(); }

    // The renderer's timeline starts afresh at the position (a lesson's or a chat line's first
    // sample): with the same seed and settings it sounds the same whatever was played before.
    void restart(SoundPosition at);
    // Sound planned after a silence: the renderer's timeline goes on at position at from where it
    // stood at end, the end of the sound before.
    void continueAt(SoundPosition end, SoundPosition at);

    // The fist: a key-down's and a key-up's length as sent. The key-ups give back what the
    // key-downs took, so the sender keeps the nominal speed.
    int keyDownMs(SoundPosition start, int ms);
    int keyUpMs(SoundPosition start, int ms);

    // A recorded wave as the fist and the transmitter send it, the first sample at start: its
    // key-ups (the runs of silence inside it) lengthened or shortened as the fist's, its marks
    // weighted by whole periods (the key-up after one gives back what it took) and chirped.
    QVector<qint16> fistWave(SoundPosition start, const QVector<qint16>& samples) const;
    QVector<qint16> tone(int frequencyHz, qint64 lengthSamples) const;
    void shapeWanted(SoundPosition first, QVector<qint16>& samples) const;
    // The background, faded in where the band was restarted or went on after a silence.
    QVector<qint16> background(SoundPosition from, SoundPosition to) const;

  private:
    qint64 indexOf(SoundPosition position) const;
    // Some effect's sound answers yes (changes the elements' lengths, say).
    bool anySound(bool (BandSound::*does)() const) const;

    std::unique_ptr<BandRenderer> m_renderer;
    SoundPosition m_origin = 0;  // where the renderer's timeline stands at m_base
    qint64 m_base = 0;
    double m_owedMs = 0;            // what the key-downs took from the key-ups
    SoundPosition m_heardFrom = 0;  // where the band was last heard again after a silence
};
