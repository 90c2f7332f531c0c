#include "core/kit/CopyAlignment.h"

#include <algorithm>
#include <vector>

namespace {

// About 16 MB of back pointers: a 4,000-character question against an equally long copy.
constexpr qsizetype kMostCells = 16'000'000;

// The step the cheapest path takes into a cell.
enum Step : unsigned char { kDiagonal, kUp, kLeft };

}  // namespace

QString NormalizedCopy(QStringView text) {
    QString normalized;
    normalized.reserve(text.size());
    bool gap = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            gap = !normalized.isEmpty();
            continue;
        }
        if (gap) {
            normalized += u' ';
            gap = false;
        }
        normalized += c.toUpper();
    }
    return normalized;
}

CopyAlignment AlignCopy(QStringView sentText, QStringView heardText) {
    const QString sent = NormalizedCopy(sentText);
    QString heard = NormalizedCopy(heardText);
    const qsizetype rows = sent.size() + 1;
    QString excess;
    if (rows * (heard.size() + 1) > kMostCells) {
        const qsizetype kept = std::max<qsizetype>(0, kMostCells / rows - 1);
        excess = heard.mid(kept);
        heard.truncate(kept);
    }
    const qsizetype columns = heard.size() + 1;

    // Two rows of costs and every cell's step back. A cost is the edits times scale less the
    // matches: the fewest edits first, then the most characters matched in place (a copy that
    // stops early must not have its characters spread over the rest of the question). It stays
    // below rows × columns + the longer side, well within an int.
    const int scale = int(std::min(rows, columns)) + 1;
    std::vector<int> previous(static_cast<std::size_t>(columns));
    std::vector<int> current(static_cast<std::size_t>(columns));
    std::vector<Step> steps(static_cast<std::size_t>(rows * columns));
    for (qsizetype j = 0; j < columns; ++j) {
        previous[std::size_t(j)] = int(j) * scale;
        steps[std::size_t(j)] = kLeft;
    }
    const QChar* heardCharacters = heard.constData();
    for (qsizetype i = 1; i < rows; ++i) {
        // Plain pointers in the inner loop: it runs millions of times for a long question.
        const int* above = previous.data();
        int* here = current.data();
        Step* stepsHere = steps.data() + i * columns;
        here[0] = int(i) * scale;
        stepsHere[0] = kUp;
        const QChar s = sent[i - 1];
        for (qsizetype j = 1; j < columns; ++j) {
            const bool same = s == heardCharacters[j - 1];
            int best = above[j - 1] + (same ? -1 : scale);
            Step step = kDiagonal;
            // Tied, a character missed goes first: traced back from the end, so what was not
            // copied is the end of the question, and what was copied stays where it was sent.
            if (above[j] + scale <= best) {
                best = above[j] + scale;
                step = kUp;
            }
            if (here[j - 1] + scale < best) {
                best = here[j - 1] + scale;
                step = kLeft;
            }
            here[j] = best;
            stepsHere[j] = step;
        }
        std::swap(previous, current);
    }

    CopyAlignment result;
    result.distance = int(excess.size());
    qsizetype i = rows - 1;
    qsizetype j = columns - 1;
    while (i > 0 || j > 0) {
        const Step step = steps[std::size_t(i * columns + j)];
        AlignedPair pair;
        if (step == kDiagonal) {
            pair.sent = sent[--i];
            pair.heard = heard[--j];
            pair.op =
                pair.sent == pair.heard ? AlignedPair::Op::Match : AlignedPair::Op::Substitute;
        } else if (step == kUp) {
            pair.sent = sent[--i];
            pair.op = AlignedPair::Op::Delete;
        } else {
            pair.heard = heard[--j];
            pair.op = AlignedPair::Op::Insert;
        }
        result.distance += pair.op == AlignedPair::Op::Match ? 0 : 1;
        result.pairs.append(pair);
    }
    std::reverse(result.pairs.begin(), result.pairs.end());
    for (const QChar c : excess) {
        result.pairs.append({AlignedPair::Op::Insert, QChar(), c});
    }
    for (const AlignedPair& pair : result.pairs) {
        if (!pair.sent.isNull() && pair.sent != u' ') {
            ++result.sentCharacters;
            result.rightCharacters += pair.op == AlignedPair::Op::Match ? 1 : 0;
        }
    }
    return result;
}

void CountPairs(ConfusionCounts& counts, const CopyAlignment& alignment) {
    for (const AlignedPair& pair : alignment.pairs) {
        const QChar sent = pair.sent == u' ' ? QChar() : pair.sent;
        const QChar heard = pair.heard == u' ' ? QChar() : pair.heard;
        if (!sent.isNull() || !heard.isNull()) {
            ++counts[{sent, heard}];
        }
    }
}
