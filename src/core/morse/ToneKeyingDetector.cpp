#include "core/morse/ToneKeyingDetector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Per second, how far the peak falls back when no mark renews it: slow beside a character, quick
// beside a fade.
constexpr double kPeakDecayPerSecond = 0.5;
// The noise floor is the envelope's mean while the key is up, over about this long.
constexpr double kFloorSeconds = 0.2;
// Key down above this share of the way from floor to peak, up again below the lower one.
constexpr double kDownShare = 0.5;
constexpr double kUpShare = 0.35;
// Below this ratio of peak to floor there is no signal, only noise.
constexpr double kSignalRatio = 2.5;

// The filter's width, kept to what the rate can carry (a width of nothing would never let a
// mark through, nor a NaN anything).
double BandOf(double bandwidthHz, int sampleRate) {
    return std::isfinite(bandwidthHz) ? std::clamp(bandwidthHz, 10.0, sampleRate / 4.0) : 80.0;
}

}  // namespace

ToneKeyingDetector::ToneKeyingDetector(int sampleRate, double pitchHz, double bandwidthHz,
                                       Output output, double shortestRunMs)
    : m_sampleRate(std::max(sampleRate, 1)),
      m_step(2 * std::numbers::pi * (std::isfinite(pitchHz) ? pitchHz : 0) / m_sampleRate),
      // Two one-pole stages, each cut off at half the band on either side of the pitch.
      m_smooth(1 - std::exp(-std::numbers::pi * BandOf(bandwidthHz, m_sampleRate) / m_sampleRate)),
      m_output(std::move(output)),
      m_peakDecay(std::pow(kPeakDecayPerSecond, 1.0 / m_sampleRate)),
      m_floorShare(1 - std::exp(-1.0 / (kFloorSeconds * m_sampleRate))),
      m_settling(static_cast<long long>(kFloorSeconds * m_sampleRate)),
      m_shortestRun(static_cast<long long>(
          m_sampleRate * std::max(1 / BandOf(bandwidthHz, m_sampleRate),
                                  std::isfinite(shortestRunMs) ? shortestRunMs / 1000 : 0))) {}

void ToneKeyingDetector::addSamples(std::span<const float> samples) {
    for (const float value : samples) {
        // A sample that is no number (a damaged file) would spoil the filter for good.
        const double sample = std::isfinite(value) ? value : 0.0;
        m_i1 += m_smooth * (sample * std::cos(m_phase) - m_i1);
        m_q1 += m_smooth * (sample * std::sin(m_phase) - m_q1);
        m_i2 += m_smooth * (m_i1 - m_i2);
        m_q2 += m_smooth * (m_q1 - m_q2);
        m_phase = std::fmod(m_phase + m_step, 2 * std::numbers::pi);
        follow(std::hypot(m_i2, m_q2));
    }
}

void ToneKeyingDetector::follow(double envelope) {
    m_peak = std::max(envelope, m_peak * m_peakDecay);
    if (m_floor <= 0) {
        m_floor = envelope;
    } else if (!m_down) {
        m_floor += m_floorShare * (envelope - m_floor);
    }
    ++m_run;
    if (m_held && m_run == m_shortestRun) {
        report(*m_held);
        m_held.reset();
    }
    // The floor is a guess until it has heard the noise for a while.
    if (m_settling > 0) {
        --m_settling;
        return;
    }
    const bool signal = m_peak > kSignalRatio * m_floor;
    const double span = m_peak - m_floor;
    const bool down = signal && envelope > m_floor + (m_down ? kUpShare : kDownShare) * span;
    if (down == m_down) {
        return;
    }
    if (m_held && m_run < m_shortestRun) {
        // Too short for the filter to have let it through as keyed: a burst of noise or a dip in
        // a mark, counted into the run it interrupted.
        m_run += m_held->samples;
        m_held.reset();
    } else {
        m_held = Run{m_down, m_run};
        m_run = 0;
    }
    m_down = down;
}

void ToneKeyingDetector::report(const Run& run) {
    const double ms = 1000.0 * static_cast<double>(run.samples) / m_sampleRate;
    if (run.down) {
        m_output.mark(ms);
    } else {
        m_output.gap(ms);
    }
}

void ToneKeyingDetector::finish() {
    if (m_held) {
        report(*m_held);
        m_held.reset();
    }
    report(Run{m_down, m_run});
    m_down = false;
    m_run = 0;
}
