#pragma once

#include <array>

// The receiver's filter: a band-pass around the wanted tone, two second-order high-pass
// sections below it and two low-pass ones above it (Butterworth, each pair -6 dB at its edge).
class BandFilter {
  public:
    static constexpr double kHalfWidthHz = 600;

    explicit BandFilter(double centreHz);

    // From rest, in place.
    void run(double* samples, int count) const;
    // |H| at a frequency.
    double magnitude(double hz) const;
    // The output's power over a white input's, within lowHz ... highHz and over the whole band.
    double powerGain(double lowHz, double highHz) const;
    double powerGain() const;

  private:
    struct Section {
        double b0, b1, b2, a1, a2;
    };
    std::array<Section, 4> m_sections{};
};
