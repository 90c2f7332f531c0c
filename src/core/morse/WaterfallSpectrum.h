#pragma once

#include <memory>
#include <span>
#include <vector>

#include "core/morse/RealFft.h"
#include "core/morse/SpectrumPeaks.h"

// A waterfall of the pitches a keyed signal may have, from mono sound at any rate: rows of
// levels in dB (a full-scale sine at a bin's pitch is 0 dB there) over 200 to 1,500 Hz in bins
// of about 5 Hz, one row every tenth of a second from a Hann window twice as long (each sample
// heard in two rows). Beside the rows, an average of the recent ones, where the pitches that
// stand out are the signals a decoder may follow.
class WaterfallSpectrum {
  public:
    static constexpr double kLowestHz = 200;
    static constexpr double kHighestHz = 1500;
    static constexpr double kBinHz = 5;
    // The highest pitch needs more than two samples a cycle; a rate past this is no sound card's.
    static constexpr int kLowestRate = 4000;
    static constexpr int kHighestRate = 768000;
    // The average's memory, in seconds; infinity averages every row alike.
    static constexpr double kRecentSeconds = 1.5;
    // Pitches are told only from an average of this much sound: less is too ragged to trust.
    static constexpr double kSettledSeconds = 1;

    using Row = std::vector<float>;

    // A rate outside the bounds gives a spectrum that takes nothing and finds nothing; a memory
    // that is no length is the usual one.
    explicit WaterfallSpectrum(int sampleRate, double recentSeconds = kRecentSeconds);

    bool isValid() const { return m_fft != nullptr; }
    int sampleRate() const { return m_rate; }
    int binCount() const { return m_binCount; }
    // The pitch of a bin, and the bin nearest a pitch (-1 outside the waterfall).
    double frequencyOf(int bin) const;
    int binOf(double hz) const;
    // The spacing of the bins: the rate over the window's length, about 5 Hz.
    double binSpacingHz() const;

    // More sound (a sample that is no number is silence); the rows it completed, oldest first.
    std::vector<Row> add(std::span<const float> samples);
    // The strongest pitches in the recent average, strongest first; none until it is settled.
    std::vector<SpectrumPeak> strongestPitches(int maxCount = 4) const;

  private:
    Row nextRow(std::span<const float> window);

    int m_rate;
    double m_recentSeconds;
    std::unique_ptr<RealFft> m_fft;
    int m_firstBin = 0;  // of the transform, the waterfall's bin 0
    int m_binCount = 0;
    int m_hop = 0;
    std::vector<float> m_window;
    double m_scale = 0;  // from a bin's |X|² to the power of the sine it holds, full scale 1
    std::vector<float> m_pending;
    std::vector<double> m_average;  // powers
    long long m_rows = 0;
};
