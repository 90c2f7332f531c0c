#pragma once

#include <span>
#include <vector>

// Sound brought down to about 8 kHz for decoding: every pitch a keyed signal has is under 1.5 kHz,
// and the decoders' cost grows with the rate. A low-pass (a windowed sinc at 3.4 kHz) keeps the
// noise above from folding onto the signals. A rate of 12 kHz or less is passed as it is.
class SoundDecimator {
  public:
    explicit SoundDecimator(int sampleRate);

    int outputRate() const { return m_rate / m_factor; }
    std::vector<float> add(std::span<const float> samples);

  private:
    int m_rate;
    int m_factor;
    std::vector<float> m_taps;
    std::vector<float> m_history;  // the last taps' worth of input
    size_t m_phase = 0;            // input samples since the last output
};
