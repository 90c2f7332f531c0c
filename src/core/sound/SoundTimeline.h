#pragma once

#include <QtGlobal>

// A place on the output's sample timeline: the number of the sample, counted from the start of
// the program's sound (or of its silent stand-in).
using SoundPosition = qint64;

// Where the next planned tone, wave or gap goes. Milliseconds are added in tenths of a sample
// (44.1 samples per ms), so a run of elements never drifts from the sum of their nominal lengths.
class SoundTimeline {
  public:
    static constexpr int kSampleRate = 44100;

    // Adds an element and returns its first sample.
    SoundPosition addMs(int ms);
    SoundPosition addSamples(qint64 samples);

    // Plans afresh from this position (after a cut, or when everything planned has been heard),
    // given in tenths of a sample where the silent timeline knows it that finely.
    void restartAt(SoundPosition position);
    void restartAtTenths(qint64 tenths);

    SoundPosition end() const { return m_anchor + (m_tenths + 5) / 10; }

  private:
    SoundPosition m_anchor = 0;
    qint64 m_tenths = 0;  // tenths of a sample since the anchor
};

// Samples <-> milliseconds on the timeline.
qint64 SamplesAfterMs(qint64 ms);
qint64 MsToReachSamples(qint64 samples);
double SamplesToMs(qint64 samples);
