#pragma once

#include <QVector>
#include <limits>

#include "core/sound/SoundTimeline.h"

// What the keyed tone's stream is given, and where in it. Every sample is a function of its
// position alone (the sine's phase runs on from press to press, each edge starts from the level
// the last one had reached), so a stretch rendered again matches what the server holds already:
// a rewrite that lands a little late joins the old samples without a step.
//
// A press is placed a guard beyond the first sample the server has not taken (`read`), whether
// the server still holds sound there or has run dry and waits; the release as many samples after
// the press as the key was down. A server that takes its time to start a stream which had run
// dry delays the release as much as the press, so a tone lasts as long as the key was down. What
// lies beyond the edge is rewritten: a press from there on is the rise and the tone (silence before
// it where the server held nothing), a release the fall and silence up to what was written.
class KeyedTone {
  public:
    // Changes go this far beyond what the server has taken, for the time a rewrite takes to reach
    // it and the error of the estimate (3 ms). A rewrite that still lands late loses its first
    // samples, so the level steps by what the edge had changed in them.
    static constexpr SoundPosition kGuardSamples = SoundTimeline::kSampleRate * 3 / 1000;

    struct Write {
        SoundPosition at = 0;
        QVector<qint16> samples;
    };

    // The key goes down: the rise from the guard beyond `read`, the tone up to `aheadTo`.
    Write press(int frequencyHz, SoundPosition read, SoundPosition aheadTo);
    // A server that restarts a stream which had run dry may start it late; the fall is then
    // placed later by as much, up to this (20 ms): a figure further off is not lateness.
    static constexpr SoundPosition kMostLateSamples = SoundTimeline::kSampleRate * 20 / 1000;

    // The key goes up after `held` samples down: the fall as long after the rise as that, never
    // before the guard beyond `read` (from the end of the tone if the server ran dry while it
    // was held), silence after it.
    Write release(SoundPosition read, SoundPosition held);
    // More of the held tone, up to `aheadTo`; nothing while the key is up.
    Write topUp(SoundPosition aheadTo);

    bool isDown() const { return m_down; }
    SoundPosition written() const { return m_written; }
    // From here on the stream is silent as written (the fall is over); never while down.
    SoundPosition silentFrom() const;

  private:
    double level(SoundPosition at) const;
    // Where the next edge's raised cosine begins so that it starts from the level at `at`.
    void turnEdge(SoundPosition at);
    QVector<qint16> render(SoundPosition from, SoundPosition to) const;
    Write renderFrom(SoundPosition from, SoundPosition to);

    bool m_down = false;
    // Start of the current edge: the rise while the key is down, the fall while it is up.
    SoundPosition m_edgeStart = std::numeric_limits<SoundPosition>::min() / 2;
    // Where the last press was placed: the key's going down as the server plays it.
    SoundPosition m_pressedAt = 0;
    // The sine: its phase at the anchor, and radians per sample.
    SoundPosition m_anchor = 0;
    double m_anchorAngle = 0;
    double m_step = 0;
    SoundPosition m_written = 0;
};
