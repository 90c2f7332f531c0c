#pragma once

#include <QtGlobal>

// Where the next tone, wave or gap goes on the output's sample timeline. Positions are
// sample numbers of the output stream (or of its silent stand-in). Milliseconds are added
// in tenths of a sample (44.1 samples per ms), so a run of elements never drifts from the
// sum of its nominal lengths.
class SoundTimeline {
  public:
    static constexpr int kSampleRate = 44100;
    // How far ahead of the write position a call returns: the next element must be queued
    // before the output reaches the end of this one.
    static constexpr qint64 kLeadSamples = kSampleRate / 20;  // 50 ms

    // Before an element: when the output has caught up with the timeline (nothing left
    // to play), the next element starts one lead ahead of it, so that it takes its full time.
    void catchUp(qint64 writePosition);

    // Adds an element and returns its first sample.
    qint64 addMs(int ms);
    qint64 addSamples(qint64 samples);

    // Throws away what is planned; the next element starts afresh from this position.
    void restartAt(qint64 writePosition);

    qint64 end() const { return m_anchor + (m_tenths + 5) / 10; }
    // The write position at which the last added element's call returns.
    qint64 returnPosition() const { return end() - kLeadSamples; }

  private:
    qint64 m_anchor = 0;
    qint64 m_tenths = 0;  // tenths of a sample since the anchor
};

// Sample position <-> milliseconds for the silent stand-in on a millisecond clock.
qint64 SamplesAfterMs(qint64 ms);
qint64 MsToReachSamples(qint64 samples);
