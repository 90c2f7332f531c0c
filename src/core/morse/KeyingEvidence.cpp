#include "core/morse/KeyingEvidence.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>

namespace {

// The amplitude is followed over this long: longer than any character, shorter than a fade.
constexpr double kAmplitudeWindowMs = 4000;
// A fade never takes the amplitude below this share of the whole sound's, so that noise in a
// deep fade is not read as a weak signal.
constexpr double kWeakestShare = 0.1;
constexpr int kMixtureRounds = 25;
// The marks a block's phase is taken from lie this many dots either side (past the word gap
// that may stand beside a short word), and at least this long.
constexpr double kPhaseWindowDots = 9;
constexpr double kPhaseWindowMs = 400;

// The sound mixed down from the pitch and averaged, block by block.
std::vector<std::complex<double>> BlockMeans(std::span<const float> samples, int sampleRate,
                                             double pitchHz, size_t blockSamples) {
    std::vector<std::complex<double>> means;
    means.reserve(samples.size() / blockSamples);
    const std::complex<double> turn = std::polar(1.0, -2 * std::numbers::pi * pitchHz / sampleRate);
    std::complex<double> phase = 1;
    for (size_t start = 0; start + blockSamples <= samples.size(); start += blockSamples) {
        std::complex<double> sum = 0;
        for (size_t n = start; n < start + blockSamples; ++n) {
            const float sample = samples[n];
            sum += (std::isfinite(sample) ? static_cast<double>(sample) : 0.0) * phase;
            phase *= turn;
        }
        // The rotation drifts off the unit circle over millions of steps.
        phase /= std::abs(phase);
        means.push_back(sum / static_cast<double>(blockSamples));
    }
    return means;
}

std::vector<double> Powers(const std::vector<std::complex<double>>& means) {
    std::vector<double> powers(means.size());
    std::transform(means.begin(), means.end(), powers.begin(),
                   [](std::complex<double> mean) { return std::norm(mean); });
    return powers;
}

// ln I0(x), x >= 0, by the polynomials of Abramowitz and Stegun (9.8.1, 9.8.2): within 2e-7
// of the exact figure, and cheap, since every mark length at every block calls it.
double LogBesselI0(double x) {
    if (x < 3.75) {
        const double t = (x / 3.75) * (x / 3.75);
        return std::log(
            1 + t * (3.5156229 +
                     t * (3.0899424 +
                          t * (1.2067492 + t * (0.2659732 + t * (0.0360768 + t * 0.0045813))))));
    }
    const double t = 3.75 / x;
    const double series =
        0.39894228 +
        t * (0.01328592 +
             t * (0.00225319 +
                  t * (-0.00157565 +
                       t * (0.00916281 +
                            t * (-0.02057706 +
                                 t * (0.02635537 + t * (-0.01647633 + t * 0.00392377)))))));
    return x - 0.5 * std::log(x) + std::log(series);
}

// log p(power | a tone of `signal` power in noise) - log p(power | noise alone).
double LogRatio(double power, double signal, double noise) {
    return -signal / noise + LogBesselI0(2 * std::sqrt(signal * power) / noise);
}

struct Mixture {
    double noise;
    double signal;
};

// Sound without noise (made, not received) would weigh each block infinitely: no block is
// trusted beyond 40 dB.
Mixture Capped(Mixture mixture) {
    mixture.noise = std::max({mixture.noise, 1e-4 * mixture.signal, 1e-30});
    return mixture;
}

// The tone's power near each block, from the blocks most likely key down around it.
std::vector<double> LocalSignal(const std::vector<double>& powers, const std::vector<double>& down,
                                const Mixture& whole, size_t window) {
    std::vector<double> weightSums(powers.size() + 1, 0.0);
    std::vector<double> powerSums(powers.size() + 1, 0.0);
    for (size_t b = 0; b < powers.size(); ++b) {
        weightSums[b + 1] = weightSums[b] + down[b];
        powerSums[b + 1] = powerSums[b] + down[b] * powers[b];
    }
    std::vector<double> signal(powers.size(), whole.signal);
    for (size_t b = 0; b < powers.size(); ++b) {
        const size_t from = b > window / 2 ? b - window / 2 : 0;
        const size_t to = std::min(powers.size(), b + window / 2 + 1);
        const double weight = weightSums[to] - weightSums[from];
        if (weight >= 4) {
            const double local = (powerSums[to] - powerSums[from]) / weight - whole.noise;
            signal[b] = std::max(local, kWeakestShare * whole.signal);
        }
    }
    return signal;
}

// The noise's power in a block, measured beside the pitch where only noise is: at the nulls of
// the block's own response (whole cycles per block), so the tone itself leaks nothing there, at
// least 150 Hz away and on both sides, the middle of four so that a neighbour's signal on one of
// them does not count.
double NoiseBeside(std::span<const float> samples, int sampleRate, double pitchHz,
                   size_t blockSamples) {
    const double blockSeconds = static_cast<double>(blockSamples) / sampleRate;
    const double first = std::ceil(150 * blockSeconds);
    std::vector<double> noises;
    for (const double cycles : {first, first + 1}) {
        for (const int side : {-1, 1}) {
            const double hz = pitchHz + side * cycles / blockSeconds;
            if (hz < 20 || hz > sampleRate / 2.0 - 20) {
                continue;
            }
            const std::vector<double> powers =
                Powers(BlockMeans(samples, sampleRate, hz, blockSamples));
            noises.push_back(std::accumulate(powers.begin(), powers.end(), 0.0) /
                             static_cast<double>(std::max<size_t>(1, powers.size())));
        }
    }
    if (noises.empty()) {
        return 0;
    }
    std::sort(noises.begin(), noises.end());
    return (noises[(noises.size() - 1) / 2] + noises[noises.size() / 2]) / 2;
}

// The tone's power and how much of the time it sounds, from the powers and the noise: a mixture
// of the two, fitted by expectation and maximisation.
Mixture FitMixture(const std::vector<double>& powers, double noise, std::vector<double>& down) {
    const double mean =
        std::accumulate(powers.begin(), powers.end(), 0.0) / static_cast<double>(powers.size());
    double downShare = 0.4;
    Mixture mixture{std::max(noise, 1e-30), std::max((mean - noise) / downShare, 0.01 * noise)};
    for (int round = 0; round < kMixtureRounds; ++round) {
        double weight = 0, power = 0;
        const double prior = std::log(downShare / (1 - downShare));
        for (size_t b = 0; b < powers.size(); ++b) {
            const double ratio = LogRatio(powers[b], mixture.signal, mixture.noise) + prior;
            down[b] = 1 / (1 + std::exp(-std::clamp(ratio, -50.0, 50.0)));
            weight += down[b];
            power += down[b] * powers[b];
        }
        if (weight < 1) {
            break;
        }
        mixture.signal = std::max(power / weight - mixture.noise, 0.01 * mixture.noise);
        downShare = std::clamp(weight / static_cast<double>(powers.size()), 0.05, 0.95);
    }
    return mixture;
}

size_t BlockSamples(int sampleRate, double blockMs) {
    return std::max<size_t>(1, static_cast<size_t>(std::lround(blockMs * sampleRate / 1000)));
}

size_t WindowBlocks(double blockMs) {
    return static_cast<size_t>(kAmplitudeWindowMs / std::max(blockMs, 0.1));
}

}  // namespace

KeyingEvidence::KeyingEvidence(std::span<const float> samples, int sampleRate, double pitchHz,
                               double blockMs, bool coherent)
    : m_coherent(coherent) {
    if (sampleRate <= 0 || !(blockMs > 0) || !std::isfinite(pitchHz)) {
        return;
    }
    const size_t blockSamples = BlockSamples(sampleRate, blockMs);
    m_blockMs = 1000.0 * static_cast<double>(blockSamples) / sampleRate;
    m_mixed = BlockMeans(samples, sampleRate, pitchHz, blockSamples);
    if (m_mixed.size() < 8) {
        m_mixed.clear();
        return;
    }
    m_noise = NoiseBeside(samples, sampleRate, pitchHz, blockSamples);
    std::vector<double> down(m_mixed.size(), 0.0);
    m_noise = Capped(FitMixture(Powers(m_mixed), m_noise, down)).noise;
    weigh(down);
}

void KeyingEvidence::weigh(const std::vector<double>& downShare) {
    const std::vector<double> powers = Powers(m_mixed);
    double weight = 0, power = 0;
    for (size_t b = 0; b < powers.size(); ++b) {
        weight += downShare[b];
        power += downShare[b] * powers[b];
    }
    const Mixture whole =
        Capped({m_noise, std::max(power / std::max(weight, 1.0) - m_noise, 0.01 * m_noise)});
    m_noise = whole.noise;
    const std::vector<double> signal =
        LocalSignal(powers, downShare, whole, WindowBlocks(m_blockMs));
    m_ratioSums.assign(powers.size() + 1, 0.0);
    m_weightedSums.assign(powers.size() + 1, 0.0);
    m_energySums.assign(powers.size() + 1, 0.0);
    m_amplitudes.assign(powers.size(), 0.0);
    m_locked = false;
    for (size_t b = 0; b < powers.size(); ++b) {
        m_amplitudes[b] = std::sqrt(signal[b]);
        m_ratioSums[b + 1] = m_ratioSums[b] + LogRatio(powers[b], signal[b], m_noise);
        m_weightedSums[b + 1] = m_weightedSums[b] + std::sqrt(signal[b]) * m_mixed[b];
        m_energySums[b + 1] = m_energySums[b] + signal[b];
    }
}

double KeyingEvidence::markLogRatio(size_t from, size_t to) const {
    if (m_locked) {
        return (2 * (m_lockedSums[to] - m_lockedSums[from]) -
                (m_energySums[to] - m_energySums[from])) /
               m_noise;
    }
    if (!m_coherent) {
        return m_ratioSums[to] - m_ratioSums[from];
    }
    return -(m_energySums[to] - m_energySums[from]) / m_noise +
           LogBesselI0(2 * std::abs(m_weightedSums[to] - m_weightedSums[from]) / m_noise);
}

void KeyingEvidence::reweigh(const std::vector<bool>& keyDown) {
    if (keyDown.size() != m_mixed.size()) {
        return;
    }
    // Blocks beside an edge hold some of each: only the others are measured.
    double noiseSum = 0;
    size_t noiseCount = 0, toneCount = 0;
    std::vector<double> down(m_mixed.size(), 0.0);
    for (size_t b = 1; b + 1 < m_mixed.size(); ++b) {
        if (keyDown[b - 1] != keyDown[b] || keyDown[b + 1] != keyDown[b]) {
            continue;
        }
        if (keyDown[b]) {
            down[b] = 1;
            ++toneCount;
        } else {
            noiseSum += std::norm(m_mixed[b]);
            ++noiseCount;
        }
    }
    if (noiseCount < 8 || toneCount < 8) {
        return;
    }
    m_noise = noiseSum / static_cast<double>(noiseCount);
    weigh(down);
}

void KeyingEvidence::lockPhase(const std::vector<bool>& keyDown, double dotBlocks) {
    if (keyDown.size() != m_mixed.size() || m_amplitudes.size() != m_mixed.size()) {
        return;
    }
    const size_t count = m_mixed.size();
    std::vector<std::complex<double>> marks(count + 1, 0.0);
    for (size_t b = 0; b < count; ++b) {
        marks[b + 1] = marks[b] + (keyDown[b] ? m_amplitudes[b] * m_mixed[b] : 0.0);
    }
    const auto around = static_cast<size_t>(std::ceil(
        std::max(kPhaseWindowDots * std::max(1.0, dotBlocks), kPhaseWindowMs / m_blockMs)));
    const auto apart = static_cast<size_t>(std::max(1.0, std::ceil(dotBlocks)));
    const auto sum = [&](size_t from, size_t to) {
        return marks[std::min(to, count)] - marks[std::min(from, count)];
    };
    m_lockedSums.assign(count + 1, 0.0);
    for (size_t b = 0; b < count; ++b) {
        const size_t low = b > around ? b - around : 0;
        const size_t nearLow = b > apart ? b - apart : 0;
        const std::complex<double> reference =
            sum(low, nearLow) + sum(b + apart + 1, b + around + 1);
        // With no mark near enough to tell the phase, none is heard there.
        const double part = std::abs(reference) > 0
                                ? std::real(m_mixed[b] * std::conj(reference)) / std::abs(reference)
                                : 0.0;
        m_lockedSums[b + 1] = m_lockedSums[b] + m_amplitudes[b] * part;
    }
    m_locked = true;
}

double KeyingEvidence::pitchError(const std::vector<bool>& keyDown) const {
    std::complex<double> turns = 0;
    size_t pairs = 0;
    for (size_t b = 0; b + 1 < m_mixed.size() && b + 1 < keyDown.size(); ++b) {
        if (keyDown[b] && keyDown[b + 1]) {
            turns += m_mixed[b + 1] * std::conj(m_mixed[b]);
            ++pairs;
        }
    }
    if (pairs < 8) {
        return 0;
    }
    return std::arg(turns) / (2 * std::numbers::pi * m_blockMs / 1000);
}
