#pragma once

#include <QVector>
#include <memory>

#include "sound/BandRenderer.h"
#include "sound/SoundTimeline.h"

// The band's conditions as the sound output plans: where the run's timeline starts, the fist's
// changes to the wanted signal's element lengths, and the samples the renderer gives. A run starts
// when sound is planned after everything planned before was heard; runs follow one another on the
// renderer's timeline, so each one's conditions go on from the last and depend only on what has
// been planned since the conditions were set.
class BandMixer {
  public:
    // Off (nothing is touched) when no effect is on.
    void setSettings(const BandSettings& settings);
    bool isOn() const { return m_renderer != nullptr; }
    const BandRenderer* renderer() const { return m_renderer.get(); }

    void startRun(SoundPosition at);

    // The fist: a key-down's and a key-up's length as sent. The key-ups give back what the
    // key-downs took, so the sender keeps the nominal speed.
    int keyDownMs(SoundPosition start, int ms);
    int keyUpMs(SoundPosition start, int ms);

    QVector<qint16> tone(int frequencyHz, qint64 lengthSamples) const;
    void shapeWanted(SoundPosition first, QVector<qint16>& samples) const;
    QVector<qint16> background(SoundPosition from, SoundPosition to) const;

  private:
    qint64 indexOf(SoundPosition position) const;
    double fistSpread(SoundPosition start) const;

    std::unique_ptr<BandRenderer> m_renderer;
    SoundPosition m_origin = 0;
    qint64 m_run = -1;
    double m_owedMs = 0;  // what the key-downs took from the key-ups
};
