#pragma once

#include <complex>
#include <span>

// The spectrum of real samples, one length at a time, by FFTW: any length, so a window can hold
// a whole number of bins at any source's rate. Planned by estimate (measuring the machine takes
// seconds); FFTW's planner is not safe across threads, so plans are made and destroyed under
// one lock, and only the transform runs freely.
class RealFft {
  public:
    explicit RealFft(int length);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    int length() const { return m_length; }
    // The length samples to transform; overwritten by nothing but the caller.
    std::span<float> input();
    // Transforms the input: bins 0 to length / 2 (bin k at k × rate / length).
    std::span<const std::complex<float>> transform();

  private:
    int m_length;
    float* m_input = nullptr;
    std::complex<float>* m_output = nullptr;
    void* m_plan = nullptr;
};
