#include "core/morse/LiveSignDecoder.h"

#include <algorithm>
#include <cmath>

#include "core/morse/KeyingEvidence.h"
#include "core/morse/SpeedTrial.h"

namespace {

constexpr double kDecodeEverySeconds = 0.25;
constexpr double kLiveBlocksPerDot = 6;
// A gap between signs is decided once this much more sound has come after it.
constexpr double kSettledDots = 2;
constexpr double kPauseKeptSeconds = 1;
constexpr long kFewestMarksToGuess = 4;
// How far one decoding's lengths move the fist's: a few characters do not make a new fist.
constexpr double kLearnedShare = 0.3;

double Blend(double old, double learned) {
    return std::isfinite(learned) && learned > 0 ? old + kLearnedShare * (learned - old) : old;
}

}  // namespace

LiveSignDecoder::LiveSignDecoder(int sampleRate, double pitchHz)
    : m_rate(std::max(sampleRate, 0)), m_pitchHz(pitchHz) {}

double LiveSignDecoder::wpm() const {
    return m_lengthsMs ? 2400 / (m_lengthsMs->dot + m_lengthsMs->elementGap) : 0;
}

void LiveSignDecoder::addSamples(std::span<const float> samples) {
    if (m_rate == 0 || samples.empty()) {
        return;
    }
    m_held.insert(m_held.end(), samples.begin(), samples.end());
    m_undecoded += samples.size();
    m_sinceGuess += samples.size();
    if (static_cast<double>(m_undecoded) >= kDecodeEverySeconds * m_rate) {
        decode(false);
    }
    const auto most = static_cast<size_t>(kMostHeldSeconds * m_rate);
    if (m_held.size() > most) {
        m_held.erase(m_held.begin(), m_held.end() - static_cast<std::ptrdiff_t>(most));
    }
}

void LiveSignDecoder::finish() {
    decode(true);
    m_held.clear();
}

bool LiveSignDecoder::guessSpeed(bool all) {
    const auto trial = static_cast<size_t>(kTrialSeconds * m_rate);
    // A guess tries every speed of the ladder: once a second at most, while nothing is keyed.
    if (!all && (m_held.size() < trial || m_sinceGuess < static_cast<size_t>(m_rate))) {
        return false;
    }
    m_sinceGuess = 0;
    // Until keying is heard, only the last few seconds are held: silence costs nothing.
    if (m_held.size() > trial) {
        m_held.erase(m_held.begin(), m_held.end() - static_cast<std::ptrdiff_t>(trial));
    }
    const double pitchHz = RefinedPitch(m_held, m_rate, m_pitchHz);
    const std::optional<double> dotMs = LikeliestDotMs(m_held, m_rate, pitchHz);
    if (!dotMs) {
        return false;
    }
    // Silence or noise alone fits any speed: a guess is kept once it spells a few marks.
    const KeyingLengths lengths = KeyingLengths::FromDot(*dotMs);
    const KeyingEvidence evidence(m_held, m_rate, pitchHz, lengths.dot / kLiveBlocksPerDot, true);
    const SoftDecoding decoding =
        DecodeSigns(evidence, lengths.scaled(1 / evidence.blockMs()), all);
    const auto marks =
        std::count_if(decoding.pieces.begin(), decoding.pieces.end(), [](const SignPiece& piece) {
            return piece.kind == ElementKind::Dot || piece.kind == ElementKind::Dash;
        });
    if (marks < kFewestMarksToGuess && !all) {
        return false;
    }
    m_pitchHz = pitchHz;
    m_lengthsMs = lengths;
    return true;
}

void LiveSignDecoder::decode(bool all) {
    m_undecoded = 0;
    if (!m_lengthsMs && !guessSpeed(all)) {
        return;
    }
    KeyingEvidence evidence(m_held, m_rate, m_pitchHz, m_lengthsMs->dot / kLiveBlocksPerDot, true);
    if (evidence.blocks() == 0) {
        return;
    }
    const double blockMs = evidence.blockMs();
    const KeyingLengths inBlocks = m_lengthsMs->scaled(1 / blockMs);
    // One decoding each time: the noise and the signal measured on the sound itself are close
    // enough while it comes; measured again on the blocks decoded once more only at the end.
    SoftDecoding decoding = DecodeSigns(evidence, inBlocks, all);
    if (all) {
        evidence.reweigh(decoding.keyDown);
        decoding = DecodeSigns(evidence, inBlocks, all);
    }

    const auto& pieces = decoding.pieces;
    const double settled = static_cast<double>(evidence.blocks()) - kSettledDots * inBlocks.dot;
    size_t decided = all ? pieces.size() : 0;
    for (size_t i = 0; !all && i < pieces.size(); ++i) {
        const bool between =
            pieces[i].kind == ElementKind::CharacterGap || pieces[i].kind == ElementKind::WordGap;
        if (between && pieces[i].startBlock + pieces[i].blocks <= settled) {
            decided = i + 1;
        }
    }
    for (size_t i = 0; i < decided; ++i) {
        decide(pieces[i], blockMs);
    }
    m_tentative.clear();
    for (size_t i = decided; i < pieces.size(); ++i) {
        m_tentative +=
            pieces[i].kind == ElementKind::WordGap ? pieces[i].sign + u' ' : pieces[i].sign;
    }
    if (all && !decoding.lastSign.isEmpty()) {
        m_characters.push_back({decoding.lastSign, m_pattern});
        m_text += decoding.lastSign;
        m_pattern.clear();
    } else {
        m_tentative += decoding.lastSign;
    }
    if (decided == 0) {
        // A pause with no sign begun is let go but for its last second, where a mark may be
        // beginning: silence costs nothing, however long.
        const auto kept = static_cast<size_t>(kPauseKeptSeconds * m_rate);
        if (pieces.empty() && decoding.lastSign.isEmpty() && m_held.size() > kept) {
            m_held.erase(m_held.begin(), m_held.end() - static_cast<std::ptrdiff_t>(kept));
        }
        return;
    }
    const KeyingLengths learned = decoding.learned.scaled(blockMs);
    KeyingLengths& fist = *m_lengthsMs;
    fist = {Blend(fist.dot, learned.dot),
            Blend(fist.dash, learned.dash),
            Blend(fist.elementGap, learned.elementGap),
            Blend(fist.characterGap, learned.characterGap),
            Blend(fist.wordGap, learned.wordGap),
            Blend(fist.spread, learned.spread),
            Blend(fist.gapSpread, learned.gapSpread)};
    // The decided sound is let go: the next decoding starts after the gap that ended it.
    const SignPiece& last = pieces[decided - 1];
    const auto blockSamples = static_cast<size_t>(std::lround(blockMs * m_rate / 1000));
    const size_t cut =
        std::min(m_held.size(), static_cast<size_t>(last.startBlock + last.blocks) * blockSamples);
    m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(cut));
}

void LiveSignDecoder::decide(const SignPiece& piece, double blockMs) {
    const double ms = piece.blocks * blockMs;
    const int character = static_cast<int>(m_characters.size());
    m_elements.push_back({ms, piece.kind, character});
    switch (piece.kind) {
        case ElementKind::Dot:
        case ElementKind::Dash:
            m_pattern += piece.kind == ElementKind::Dot ? u'.' : u'-';
            break;
        case ElementKind::CharacterGap:
        case ElementKind::WordGap:
            m_characters.push_back({piece.sign, m_pattern});
            m_text += piece.kind == ElementKind::WordGap ? piece.sign + u' ' : piece.sign;
            m_pattern.clear();
            break;
        default:
            break;
    }
}
