#pragma once

#include <QVector>
#include <limits>

#include "sound/SoundTimeline.h"

// What the keyed tone's stream is given, and where in it. Every sample is a function of its
// position alone (the sine's phase runs on from press to press, each edge starts from the level
// the last one had reached), so a stretch rendered again matches what the server holds already:
// a rewrite that lands a little late joins the old samples without a step.
//
// The key's changes are placed at the first position the server can still change; what lies
// beyond is rewritten: a press from there on is the rise and the tone, a release the fall and
// silence up to what was written.
class KeyedTone {
  public:
    struct Write {
        SoundPosition at = 0;
        QVector<qint16> samples;
    };

    // The key goes down: the rise from `changeable` (or from the end of what was written, if the
    // server holds nothing beyond it), the tone up to `aheadTo`.
    Write press(int frequencyHz, SoundPosition changeable, SoundPosition aheadTo);
    // The key goes up: the fall from `changeable`, silence after it.
    Write release(SoundPosition changeable);
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
    // The sine: its phase at the anchor, and radians per sample.
    SoundPosition m_anchor = 0;
    double m_anchorAngle = 0;
    double m_step = 0;
    SoundPosition m_written = 0;
};
