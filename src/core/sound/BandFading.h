#pragma once

#include <complex>
#include <vector>

#include "core/sound/SoundTimeline.h"

// Rayleigh fading: a complex gain made of many equal phasors whose Doppler frequencies follow a
// Gaussian spectrum (the frequency spread is twice its RMS), each with a phase of the seed. Its
// magnitude is Rayleigh distributed with a mean square of one. A pure function of the sample
// index, so any block of it can be rendered alone.
class BandFading {
  public:
    static constexpr int kPhasors = 64;

    BandFading(quint64 seed, double spreadHz);

    std::complex<double> gain(qint64 index) const;
    // |gain| at every control point (kStep samples apart), linearly between them.
    double magnitude(qint64 index) const;

    static constexpr int kStep = 64;

  private:
    std::vector<double> m_radiansPerSample;
    std::vector<double> m_phase;
};
