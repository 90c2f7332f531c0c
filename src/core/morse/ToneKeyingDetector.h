#pragma once

#include <functional>
#include <optional>
#include <span>

// Hears a keyed tone in sound: it mixes the sound down from the tone's pitch, filters it to a
// narrow band around it and follows the envelope, and reports the key's marks and gaps in ms,
// each once the one after it has lasted longer than the filter's response time, for the timing
// decoder. The threshold follows both the noise floor and the signal's peak (so it holds through
// fading), with hysteresis so that noise on an edge does not split it.
class ToneKeyingDetector {
  public:
    struct Output {
        std::function<void(double ms)> mark;
        std::function<void(double ms)> gap;
    };

    // bandwidthHz: the filter's width around the pitch; narrower hears weaker signals but smears
    // faster keying (about 80 Hz suits up to 40 WPM). A run of key down or up shorter than
    // shortestRunMs (at least the filter's response time) is counted into the one it interrupted.
    ToneKeyingDetector(int sampleRate, double pitchHz, double bandwidthHz, Output output,
                       double shortestRunMs = 0);

    void addSamples(std::span<const float> samples);
    // The sound has ended: the mark or gap still running is reported.
    void finish();

  private:
    // A stretch of key down or key up, in samples.
    struct Run {
        bool down;
        long long samples;
    };
    void follow(double envelope);
    void report(const Run& run);

    int m_sampleRate;
    double m_step;    // the mixer's radians per sample
    double m_smooth;  // each low-pass stage's share of a new sample
    Output m_output;

    double m_phase = 0;
    double m_i1 = 0, m_q1 = 0, m_i2 = 0, m_q2 = 0;
    double m_peak = 0;
    double m_floor = 0;
    double m_peakDecay;
    double m_floorShare;
    long long m_settling;
    // Shorter than this is no element: about the filter's own response time.
    long long m_shortestRun;
    bool m_down = false;
    long long m_run = 0;
    // The run before this one, reported once this one is long enough to be real.
    std::optional<Run> m_held;
};
