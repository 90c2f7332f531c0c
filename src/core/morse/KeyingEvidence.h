#pragma once

#include <complex>
#include <span>
#include <vector>

// How strongly the sound says "key down" rather than "key up" at one pitch, over any stretch of
// short blocks. The sound is mixed down from the pitch and averaged over each block; the noise's
// power is measured beside the pitch and the tone's amplitude learned from the sound, followed
// over a few seconds so that a fading signal keeps its weight.
//
// A stretch is weighed as a tone of that amplitude in noise against noise alone. Heard
// incoherently, each block's power counts on its own (Rician against Rayleigh), which needs no
// exact pitch. Heard coherently, the blocks' sum counts as one tone of constant phase, which is
// what a keyed transmitter sends: a mark of n blocks then gains the whole of its energy over the
// noise, as a filter matched to it would, but only once the pitch is known to a fraction of the
// mark's bandwidth (see `PitchError`).
class KeyingEvidence {
  public:
    KeyingEvidence() = default;
    KeyingEvidence(std::span<const float> samples, int sampleRate, double pitchHz, double blockMs,
                   bool coherent);

    double blockMs() const { return m_blockMs; }
    size_t blocks() const { return m_mixed.size(); }
    // The log-likelihood ratio of key down to key up over blocks [from, to).
    double markLogRatio(size_t from, size_t to) const;

    // Weighed again with what a decoding has told, block by block: signal and noise then
    // measured on their own blocks instead of guessed from the mixture.
    void reweigh(const std::vector<bool>& keyDown);
    // Heard with the carrier's phase known as well: a keyed transmitter's oscillator runs on
    // between marks, so the phase at each block is taken from the marks decoded around it
    // (within nine dots and 0.4 s, none within a dot of it, so a block's own noise is not its
    // reference). A mark is then weighed as a tone of known phase, which leaves the noise half as
    // many ways to look like one.
    void lockPhase(const std::vector<bool>& keyDown, double dotBlocks);
    // How far the pitch given is off the tone's, from the turn of phase between neighbouring
    // blocks while the key was down as decoded; nothing with too few such blocks.
    double pitchError(const std::vector<bool>& keyDown) const;

  private:
    void weigh(const std::vector<double>& downShare);

    double m_blockMs = 0;
    bool m_coherent = false;
    double m_noise = 1;
    std::vector<std::complex<double>> m_mixed;
    // From block 0 to each block: the sums each kind of weighing needs.
    std::vector<double> m_ratioSums;
    std::vector<std::complex<double>> m_weightedSums;
    std::vector<double> m_energySums;
    std::vector<double> m_amplitudes;
    // With the phase locked: the sums of each block's amplitude times its part in that phase.
    bool m_locked = false;
    std::vector<double> m_lockedSums;
};
