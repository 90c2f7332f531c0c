#include "core/morse/SoftSignDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace {

// A length this far either side of its centre is possible, however tight the fist (a hand's
// slip, a gap filled by noise); beyond the log-normal's reach it is as likely as any other.
constexpr double kReach = 2.8;
constexpr double kSlipFactor = 2.6;
constexpr double kSlipShare = 0.02;
constexpr double kTightest = 0.15;
// No kind of mark or gap is centred longer than this many blocks (a word gap of 16 s at the
// slowest speed's blocks).
constexpr double kLongestCentre = 512;
constexpr double kLoosest = 0.35;
constexpr double kNever = -std::numeric_limits<double>::infinity();
// Fewer of a kind than this and its centre is not learned.
constexpr int kFewestToLearn = 3;

double Bounded(double spread) {
    return std::clamp(std::isfinite(spread) ? spread : kLoosest, kTightest, kLoosest);
}

// A sign's patterns as a tree: a node for every pattern begun, a dot or a dash from each.
struct SignNode {
    int parent = -1;
    int dash = 0;  // 0 for the dot from the parent, 1 for the dash
    int children[2] = {-1, -1};
    QString text;  // empty where no sign ends
};

std::vector<SignNode> SignTree(const SignTable& table) {
    std::vector<SignNode> tree(1);
    for (auto it = table.begin(); it != table.end(); ++it) {
        int at = 0;
        for (const QChar element : it.key()) {
            const int kind = element == u'-' ? 1 : 0;
            if (tree[at].children[kind] < 0) {
                tree[at].children[kind] = static_cast<int>(tree.size());
                tree.push_back({at, kind, {-1, -1}, {}});
            }
            at = tree[at].children[kind];
        }
        tree[at].text = it.value();
    }
    return tree;
}

// How likely each length is, in whole blocks, around a centre.
struct LengthOdds {
    int shortest = 1;
    std::vector<double> logOdds;  // from the shortest on
    int longest() const { return shortest + static_cast<int>(logOdds.size()) - 1; }
    double at(int length) const { return logOdds[static_cast<size_t>(length - shortest)]; }
};

LengthOdds OddsAround(double centre, double spread) {
    // Lengths learned from noise may stray without bound: the search's memory may not.
    centre = std::isfinite(centre) ? std::clamp(centre, 0.5, kLongestCentre) : 1.0;
    LengthOdds odds;
    const double widest = std::max(std::exp(kReach * spread), kSlipFactor);
    odds.shortest = std::max(1, static_cast<int>(std::floor(centre / widest)));
    const int longest = std::max(odds.shortest, static_cast<int>(std::ceil(centre * widest)));
    const double slip = kSlipShare / (longest - odds.shortest + 1);
    const double norm = 1 / (spread * std::sqrt(2 * std::numbers::pi));
    for (int length = odds.shortest; length <= longest; ++length) {
        const double off = std::log(length / centre) / spread;
        odds.logOdds.push_back(
            std::log((1 - kSlipShare) * norm * std::exp(-0.5 * off * off) / length + slip));
    }
    return odds;
}

using Piece = SignPiece;  // its start counted from the search's first block

size_t Kind(ElementKind kind) {
    return static_cast<size_t>(kind);
}

struct SignPath {
    std::vector<Piece> pieces;
    double logLikelihood = 0;
    QString lastSign;  // a sign the sound ended in, no gap after it
};

// The blocks searched at once: memory for the way back grows with them (about 4.6 MB each
// search), and a long recording is decoded window by window.
constexpr int kWindowBlocks = 8192;

// Where the best way to a state at a block came from.
struct Back {
    std::uint16_t length = 0;
    std::int16_t from = 0;
};
// The origins of a mark that begins a sign.
constexpr std::int16_t kFromCharacterGap = -2;
constexpr std::int16_t kFromWordGap = -3;

// The best ways to every state, block by block. The states: a mark ending a pattern begun
// (one per tree node), the element gap after it, and the two gaps between signs.
class SignSearch {
  public:
    SignSearch(const KeyingEvidence& evidence, int first, int count, const KeyingLengths& lengths,
               const SignTable& table)
        : m_evidence(evidence),
          m_first(first),
          m_tree(SignTree(table)),
          m_nodes(static_cast<int>(m_tree.size())),
          m_blocks(count),
          m_mark{OddsAround(lengths.dot, Bounded(lengths.spread)),
                 OddsAround(lengths.dash, Bounded(lengths.spread))},
          m_elementGap(OddsAround(lengths.elementGap, Bounded(lengths.spread))),
          m_characterGap(OddsAround(lengths.characterGap, Bounded(lengths.gapSpread))),
          m_wordGap(OddsAround(lengths.wordGap, Bounded(lengths.gapSpread))),
          m_signOdds(-std::log(std::max<double>(1, table.size()))) {
        // A copy of noise can teach a dot longer than the dash: whichever is longer bounds a mark.
        const int longestMark = std::max(m_mark[0].longest(), m_mark[1].longest());
        m_markOdds.assign(static_cast<size_t>(longestMark + 1), kNever);
        // Far enough back for any piece, and for the end chosen before a mark still sounding.
        m_reach = longestMark +
                  std::max({m_wordGap.longest(), m_characterGap.longest(), m_elementGap.longest(),
                            longestMark}) +
                  1;
        m_scores.assign(static_cast<size_t>(m_reach) * stride(), kNever);
        m_backs.assign(static_cast<size_t>(m_blocks + 1) * stride(), Back{});
        m_bestSign.assign(static_cast<size_t>(m_reach), {kNever, -1});
    }

    // The sound ends with the blocks (a sign's last mark, then a gap) or goes on past them.
    SignPath run(bool soundEnds);

  private:
    // Per block: a mark and a gap state per node, then the character gap and the word gap.
    size_t stride() const { return 2 * static_cast<size_t>(m_nodes) + 2; }
    size_t markState(int node) const { return static_cast<size_t>(node); }
    size_t gapState(int node) const { return static_cast<size_t>(m_nodes + node); }
    size_t characterGapState() const { return 2 * static_cast<size_t>(m_nodes); }
    size_t wordGapState() const { return characterGapState() + 1; }
    double& score(int block, size_t state) {
        return m_scores[static_cast<size_t>(block % m_reach) * stride() + state];
    }
    Back& back(int block, size_t state) {
        return m_backs[static_cast<size_t>(block) * stride() + state];
    }
    std::pair<double, int>& bestSign(int block) {
        return m_bestSign[static_cast<size_t>(block % m_reach)];
    }
    void step(int block);
    void stepMark(int block, int node);
    void stepGapsBetweenSigns(int block);
    std::vector<Piece> traceFrom(int block, size_t state);
    struct End {
        double score;
        size_t state;
        int block;
    };
    // The likeliest state for the sound to end in at a block.
    End bestEnd(int at, bool soundEnds);

    const KeyingEvidence& m_evidence;
    int m_first;
    std::vector<SignNode> m_tree;
    int m_nodes;
    int m_blocks;
    LengthOdds m_mark[2];
    LengthOdds m_elementGap, m_characterGap, m_wordGap;
    double m_signOdds;
    // A mark of each length ending at the block being stepped: the same for every node.
    std::vector<double> m_markOdds;
    int m_reach = 1;
    std::vector<double> m_scores;  // the last m_reach blocks
    std::vector<Back> m_backs;     // every block
    std::vector<std::pair<double, int>> m_bestSign;
};

void SignSearch::stepMark(int block, int node) {
    const SignNode& here = m_tree[static_cast<size_t>(node)];
    const LengthOdds& odds = m_mark[here.dash];
    double best = kNever;
    Back how;
    for (int length = odds.shortest; length <= std::min(odds.longest(), block); ++length) {
        const int start = block - length;
        double before = kNever;
        std::int16_t from = 0;
        if (here.parent == 0) {
            const double afterCharacter = score(start, characterGapState());
            const double afterWord = score(start, wordGapState());
            before = std::max(afterCharacter, afterWord);
            from = afterWord >= afterCharacter ? kFromWordGap : kFromCharacterGap;
        } else {
            before = score(start, gapState(here.parent));
        }
        const double candidate = before + m_markOdds[size_t(length)] + odds.at(length);
        if (candidate > best) {
            best = candidate;
            how = {static_cast<std::uint16_t>(length), from};
        }
    }
    score(block, markState(node)) = best;
    back(block, markState(node)) = how;
}

void SignSearch::stepGapsBetweenSigns(int block) {
    const auto bestAfter = [&](const LengthOdds& odds, Back& how) {
        double best = kNever;
        for (int length = odds.shortest; length <= std::min(odds.longest(), block); ++length) {
            const auto& [signScore, node] = bestSign(block - length);
            if (node >= 0 && signScore + odds.at(length) > best) {
                best = signScore + odds.at(length);
                how = {static_cast<std::uint16_t>(length), static_cast<std::int16_t>(node)};
            }
        }
        return best;
    };
    score(block, characterGapState()) = bestAfter(m_characterGap, back(block, characterGapState()));
    Back word;
    double best = bestAfter(m_wordGap, word);
    // A pause: the word gap goes on, block by block, at no cost.
    if (const double pause = score(block - 1, wordGapState()); pause > best) {
        best = pause;
        word = {0, 0};
    }
    score(block, wordGapState()) = best;
    back(block, wordGapState()) = word;
}

void SignSearch::step(int block) {
    for (size_t state = 0; state < stride(); ++state) {
        score(block, state) = kNever;
    }
    for (int length = 1; length < static_cast<int>(m_markOdds.size()) && length <= block;
         ++length) {
        m_markOdds[size_t(length)] =
            m_evidence.markLogRatio(size_t(m_first + block - length), size_t(m_first + block));
    }
    std::pair<double, int> sign{kNever, -1};
    for (int node = 1; node < m_nodes; ++node) {
        stepMark(block, node);
        const double here = score(block, markState(node));
        if (!m_tree[size_t(node)].text.isEmpty() && here + m_signOdds > sign.first) {
            sign = {here + m_signOdds, node};
        }
    }
    bestSign(block) = sign;
    for (int node = 1; node < m_nodes; ++node) {
        const LengthOdds& odds = m_elementGap;
        double best = kNever;
        Back how;
        for (int length = odds.shortest; length <= std::min(odds.longest(), block); ++length) {
            const double candidate = score(block - length, markState(node)) + odds.at(length);
            if (candidate > best) {
                best = candidate;
                how = {static_cast<std::uint16_t>(length), 0};
            }
        }
        score(block, gapState(node)) = best;
        back(block, gapState(node)) = how;
    }
    stepGapsBetweenSigns(block);
}

// Fewer than enough of a kind: the centre given.
double Centre(const std::vector<int>& lengths, double given) {
    if (lengths.size() < kFewestToLearn) {
        return given;
    }
    double logSum = 0;
    for (const int length : lengths) {
        logSum += std::log(double(length));
    }
    return std::exp(logSum / double(lengths.size()));
}

// The spread of the kinds' lengths around their centres, pooled; the one given with too few.
double Spread(std::initializer_list<std::pair<const std::vector<int>*, double>> kinds,
              double given) {
    double squares = 0;
    size_t count = 0;
    for (const auto& [lengths, centre] : kinds) {
        for (const int length : *lengths) {
            squares += std::pow(std::log(length / centre), 2);
            ++count;
        }
    }
    return count < 2 * kFewestToLearn ? given : std::sqrt(squares / double(count));
}

std::vector<Piece> SignSearch::traceFrom(int block, size_t state) {
    std::vector<Piece> pieces;
    while (block > 0) {
        const Back how = back(block, state);
        const int start = block - how.length;
        if (state == wordGapState() || state == characterGapState()) {
            if (how.length == 0) {  // a pause's block
                --block;
                continue;
            }
            const bool word = state == wordGapState();
            pieces.push_back({word ? ElementKind::WordGap : ElementKind::CharacterGap, start,
                              how.length, m_tree[size_t(how.from)].text});
            state = markState(how.from);
        } else if (state >= gapState(0)) {
            pieces.push_back({ElementKind::ElementGap, start, how.length, {}});
            state = markState(static_cast<int>(state - gapState(0)));
        } else {
            const SignNode& here = m_tree[state];
            pieces.push_back(
                {here.dash != 0 ? ElementKind::Dash : ElementKind::Dot, start, how.length, {}});
            state = here.parent != 0           ? gapState(here.parent)
                    : how.from == kFromWordGap ? wordGapState()
                                               : characterGapState();
        }
        block = start;
    }
    std::reverse(pieces.begin(), pieces.end());
    return pieces;
}

SignSearch::End SignSearch::bestEnd(int at, bool soundEnds) {
    End end{score(at, wordGapState()), wordGapState(), at};
    const auto consider = [&](double candidate, size_t state, int block) {
        if (candidate > end.score) {
            end = {candidate, state, block};
        }
    };
    consider(score(at, characterGapState()), characterGapState(), at);
    // A sign's last mark, then a gap too short yet to be one between signs.
    for (int block = std::max(1, at - m_characterGap.longest()); block <= at; ++block) {
        if (const auto& [signScore, node] = bestSign(block); node >= 0) {
            consider(signScore, markState(node), block);
        }
    }
    // Sound that goes on may be cut anywhere in a sign: in or after any of its marks.
    for (int block = std::max(1, at - m_elementGap.longest()); !soundEnds && block <= at; ++block) {
        for (int node = 1; node < m_nodes; ++node) {
            consider(score(block, markState(node)), markState(node), block);
            // A gap state's score holds only once the gap is over, where the sound is cut.
            if (block == at) {
                consider(score(block, gapState(node)), gapState(node), block);
            }
        }
    }
    return end;
}

SignPath SignSearch::run(bool soundEnds) {
    SignPath path;
    if (m_blocks == 0) {
        return path;
    }
    score(0, wordGapState()) = 0;
    for (int block = 1; block <= m_blocks; ++block) {
        step(block);
    }
    End end = bestEnd(m_blocks, soundEnds);
    // Sound that goes on may be cut in the middle of a mark, which may yet be longer than heard:
    // the way is chosen up to where that mark began.
    if (!soundEnds && end.block == m_blocks && end.state < gapState(0)) {
        end = bestEnd(m_blocks - back(m_blocks, end.state).length, false);
    }
    if (end.score == kNever) {
        return path;
    }
    path.pieces = traceFrom(end.block, end.state);
    path.logLikelihood = end.score;
    if (end.state < gapState(0)) {
        path.lastSign = m_tree[end.state].text;
    } else if (end.state < characterGapState()) {
        path.lastSign = m_tree[end.state - gapState(0)].text;
    }
    return path;
}

// Where a window's decoding is cut, so the next starts afresh: after the last word gap (else
// character gap, else any piece) that ends before the window's last quarter, whose decoding
// the window's end may still change.
size_t CutAfter(const std::vector<Piece>& pieces, int settled) {
    for (const ElementKind kind :
         {ElementKind::WordGap, ElementKind::CharacterGap, ElementKind::Dot}) {
        for (size_t i = pieces.size(); i-- > 0;) {
            const Piece& piece = pieces[i];
            if (piece.startBlock + piece.blocks <= settled &&
                (kind == ElementKind::Dot || piece.kind == kind)) {
                return i + 1;
            }
        }
    }
    return 0;
}

}  // namespace

KeyingLengths KeyingLengths::FromDot(double dotBlocks) {
    return {dotBlocks, 3 * dotBlocks, dotBlocks, 3 * dotBlocks, 7 * dotBlocks};
}

KeyingLengths KeyingLengths::scaled(double factor) const {
    KeyingLengths lengths = *this;
    for (double* length : {&lengths.dot, &lengths.dash, &lengths.elementGap, &lengths.characterGap,
                           &lengths.wordGap}) {
        *length *= factor;
    }
    return lengths;
}

SoftDecoding DecodeSigns(const KeyingEvidence& evidence, const KeyingLengths& lengths,
                         bool soundEnds, const SignTable& table) {
    const int blocks = static_cast<int>(evidence.blocks());
    SoftDecoding decoding;
    decoding.keyDown.assign(size_t(blocks), false);
    std::vector<int> seen[5];  // by kind, Dot to WordGap
    int first = 0;
    while (first < blocks) {
        const int count = std::min(kWindowBlocks, blocks - first);
        const bool last = first + count == blocks;
        const SignPath path =
            SignSearch(evidence, first, count, lengths, table).run(last && soundEnds);
        const int settled = count * 3 / 4;
        const size_t kept = last ? path.pieces.size() : CutAfter(path.pieces, settled);
        for (size_t i = 0; i < kept; ++i) {
            const Piece& piece = path.pieces[i];
            seen[Kind(piece.kind)].push_back(piece.blocks);
            if (piece.kind == ElementKind::Dot || piece.kind == ElementKind::Dash) {
                std::fill_n(decoding.keyDown.begin() + first + piece.startBlock, piece.blocks,
                            true);
            }
            decoding.text += piece.kind == ElementKind::WordGap ? piece.sign + u' ' : piece.sign;
            decoding.pieces.push_back(piece);
            decoding.pieces.back().startBlock += first;
        }
        if (last) {
            decoding.text += path.lastSign;
            decoding.lastSign = path.lastSign;
        }
        decoding.logLikelihood += path.logLikelihood;
        first = last       ? blocks
                : kept > 0 ? first + path.pieces[kept - 1].startBlock + path.pieces[kept - 1].blocks
                           : first + settled;
    }
    KeyingLengths& learned = decoding.learned;
    learned = {Centre(seen[Kind(ElementKind::Dot)], lengths.dot),
               Centre(seen[Kind(ElementKind::Dash)], lengths.dash),
               Centre(seen[Kind(ElementKind::ElementGap)], lengths.elementGap),
               Centre(seen[Kind(ElementKind::CharacterGap)], lengths.characterGap),
               Centre(seen[Kind(ElementKind::WordGap)], lengths.wordGap),
               lengths.spread,
               lengths.gapSpread};
    learned.spread = Spread({{&seen[Kind(ElementKind::Dot)], learned.dot},
                             {&seen[Kind(ElementKind::Dash)], learned.dash},
                             {&seen[Kind(ElementKind::ElementGap)], learned.elementGap}},
                            lengths.spread);
    learned.gapSpread = Spread({{&seen[Kind(ElementKind::CharacterGap)], learned.characterGap},
                                {&seen[Kind(ElementKind::WordGap)], learned.wordGap}},
                               lengths.gapSpread);
    return decoding;
}
