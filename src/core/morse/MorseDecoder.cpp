#include "core/morse/MorseDecoder.h"

#include <cmath>

#include "core/morse/MorseTable.h"

namespace {

// Neighbouring groups closer than this are one group that jitter spread out (a beginner's
// dash is often nearer two dots than three).
constexpr double kMinGroupRatio = 1.6;
// Word gaps are the rarest group: held to at least 1.8 times the character gap (7 : 3 is
// standard) and to no more members than the character gaps, they cannot take in the longest
// character gaps, while a few short word gaps still part from the character gaps early on.
const double kWordOverCharacterAtLeast = std::log(1.8);
// A group within this ratio of the dot is the element gap, not the character gap.
const double kNearDot = std::log(1.8);
const double kThree = std::log(3.0);
const double kWordOverCharacter = std::log(7.0 / 3.0);
// Gaps longer than this many dots, and than twice the word gap, are pauses; before the dots are
// known, gaps longer than kPauseBeforeKnownMs are (longer than a doubled word gap at 5 WPM).
constexpr double kPauseDots = 24;
constexpr double kPauseBeforeKnownMs = 4000;
// Held elements past this are decoded with the best guess even before the model is sure.
constexpr std::size_t kMaxHeld = 80;
constexpr int kLongestPattern = 9;
// What is a bounce rather than a mark or gap (see the class).
constexpr double kBounceMs = 8;
const double kBounceBelowShortest = std::log(8.0);

}  // namespace

SignTable DefaultSignTable() {
    SignTable table;
    for (const MorseSymbol& symbol : MorseTable()) {
        const QString pattern = QString::fromLatin1(symbol.pattern);
        if (symbol.recordedWave) {
            table.insert(pattern, QString::fromLatin1(symbol.recordedWave));
        } else {
            table.insert(pattern, u'[' + QString::fromLatin1(symbol.fileStem) + u']');
        }
    }
    return table;
}

MorseDecoder::MorseDecoder(SignTable table) : m_table(std::move(table)) {}

void MorseDecoder::addMark(double ms) {
    add(ms, true);
}

void MorseDecoder::addGap(double ms) {
    add(ms, false);
}

bool MorseDecoder::isBounce(double ms) const {
    if (ms < kBounceMs) {
        return true;
    }
    const std::optional<double> marks = m_marks.shortest();
    const std::optional<double> gaps = m_gaps.shortest();
    if (!marks && !gaps) {
        return false;
    }
    const double shortest = std::min(marks.value_or(HUGE_VAL), gaps.value_or(HUGE_VAL));
    return std::log(ms) < shortest - kBounceBelowShortest;
}

void MorseDecoder::add(double ms, bool mark) {
    if (!(ms > 0)) {
        return;
    }
    if (m_joining || (m_open && m_open->mark != mark && isBounce(ms))) {
        m_open->ms += ms;
        m_joining = !m_joining;
        return;
    }
    if (!m_open && isBounce(ms)) {
        // Before the first mark: the silence before it, which counts for nothing.
        m_open = Open{0, !mark};
        m_joining = true;
        return;
    }
    commitOpen();
    m_open = Open{ms, mark};
}

void MorseDecoder::commitOpen() {
    if (m_open) {
        const Open open = *m_open;
        m_open.reset();
        m_joining = false;
        open.mark ? commitMark(open.ms) : commitGap(open.ms);
    }
}

void MorseDecoder::commitMark(double ms) {
    m_marks.add(std::log(ms));
    m_held.push_back({ms, true});
}

bool MorseDecoder::isPause(double ms, const Model& model) const {
    if (!model.marksKnown) {
        return ms > kPauseBeforeKnownMs;
    }
    const double limit = std::log(kPauseDots) + model.dot;
    return std::log(ms) >
           (model.gapsKnown ? std::max(limit, model.wordGap + std::log(2.0)) : limit);
}

void MorseDecoder::commitGap(double ms) {
    const bool afterShown = m_shownEarly;
    const bool spaceShown = m_spaceShown;
    m_shownEarly = false;
    m_spaceShown = false;
    if (!(ms > 0) || (!afterShown && (m_held.empty() || !m_held.back().mark))) {
        return;
    }
    // A pause ends a word whatever its length; it must not teach the gap groups anything.
    const Model now = model();
    const bool pause = isPause(ms, now);
    if (!pause) {
        m_gaps.add(std::log(ms));
    }
    if (afterShown) {
        // The character is out already; the gap only says whether a word ended with it.
        const bool word =
            pause || spaceShown || std::log(ms) >= (now.characterGap + now.wordGap) / 2;
        m_elements.push_back({ms,
                              pause  ? ElementKind::Pause
                              : word ? ElementKind::WordGap
                                     : ElementKind::CharacterGap,
                              static_cast<int>(m_characters.size()) - 1});
        if (word && !spaceShown) {
            emitText(QStringLiteral(" "));
        }
        return;
    }
    m_held.push_back({ms, false, pause});
    if (!m_locked) {
        const Model fresh = model();
        m_locked = (fresh.marksKnown && fresh.gapsKnown) || m_held.size() > kMaxHeld;
    }
    if (m_locked) {
        decodeHeld(false);
    }
}

void MorseDecoder::silence(double ms) {
    if (!(ms > 0)) {
        return;
    }
    if (m_open && m_open->mark && !isBounce(ms)) {
        commitOpen();
    }
    if (!m_locked) {
        // Still learning the sender: a silence far longer than every gap and mark held so far
        // ends a word, so a short keying (one echo group) is read with the best guess now rather
        // than held until the next key.
        if (!m_held.empty() && m_held.back().mark && ms >= wordBoundaryMs()) {
            decodeHeld(true);
            m_shownEarly = true;
            emitText(QStringLiteral(" "));
            m_spaceShown = true;
        }
        return;
    }
    const Model m = model();
    if (!m_held.empty() && m_held.back().mark &&
        std::log(ms) >= (m.elementGap + m.characterGap) / 2) {
        decodeHeld(true);
        m_shownEarly = true;
    }
    if (m_shownEarly && !m_spaceShown &&
        (isPause(ms, m) || std::log(ms) >= (m.characterGap + m.wordGap) / 2)) {
        emitText(QStringLiteral(" "));
        m_spaceShown = true;
    }
}

double MorseDecoder::wordBoundaryMs() const {
    if (m_locked) {
        return std::sqrt(characterGapMs() * wordGapMs());
    }
    // Still learning: a word gap is 7 units, more than twice a character gap or a dash.
    double longest = m_open ? m_open->ms : 0;
    for (const Held& held : m_held) {
        longest = held.pause ? longest : std::max(longest, held.ms);
    }
    return 2.2 * longest;
}

void MorseDecoder::finish() {
    commitOpen();
    decodeHeld(true);
    m_locked = false;
}

MorseDecoder::Model MorseDecoder::model() const {
    Model m{};
    const DurationGroups marks = m_marks.groups(2, kMinGroupRatio);
    // Element gaps are about as long as dots, character gaps clearly longer: a group well
    // below the dots, or a second one near them, is a split of the element gaps by jitter.
    const bool dotsKnown = marks.centres.size() == 2;
    const double dot = marks.centres.empty() ? 0 : marks.centres[0];
    auto plausible = [dotsKnown, dot](const std::vector<double>& centres,
                                      const std::vector<std::size_t>& sizes) {
        if (centres.size() == 3 &&
            (centres[2] - centres[1] < kWordOverCharacterAtLeast || sizes[2] > sizes[1])) {
            return false;
        }
        return !dotsKnown ||
               (centres[0] > dot - kNearDot && (centres.size() < 2 || centres[1] > dot + kNearDot));
    };
    const DurationGroups gaps = m_gaps.groups(3, kMinGroupRatio, plausible);
    // Gaps alone know the element gap when they form two groups or more.
    std::optional<double> elementGap;
    if (gaps.centres.size() >= 2) {
        elementGap = gaps.centres[0];
    }
    if (marks.centres.size() == 2) {
        m.dot = marks.centres[0];
        m.dash = marks.centres[1];
        m.marksKnown = true;
    } else if (marks.centres.size() == 1) {
        // All alike: dots if they are as short as the element gaps, dashes if three times.
        const double centre = marks.centres[0];
        const bool dashes = elementGap && centre - *elementGap > kNearDot;
        m.dot = dashes ? centre - kThree : centre;
        m.dash = dashes ? centre : centre + kThree;
        m.marksKnown = elementGap.has_value() && m_marks.size() >= 8;
    } else {
        m.dot = std::log(60.0);
        m.dash = m.dot + kThree;
    }
    if (gaps.centres.size() == 3) {
        m.elementGap = gaps.centres[0];
        m.characterGap = gaps.centres[1];
        m.wordGap = gaps.centres[2];
        m.gapsKnown = true;
        return m;
    }
    const double lowest = gaps.centres.empty() ? m.dot : gaps.centres[0];
    const bool lowestIsElementGap = std::abs(lowest - m.dot) < kNearDot;
    if (gaps.centres.size() == 2 && lowestIsElementGap) {
        m.elementGap = gaps.centres[0];
        m.characterGap = gaps.centres[1];
        m.wordGap = m.characterGap + kWordOverCharacter;
        m.gapsKnown = true;
    } else if (gaps.centres.size() == 2) {
        // Words of one character each: character and word gaps only.
        m.elementGap = m.dot;
        m.characterGap = gaps.centres[0];
        m.wordGap = gaps.centres[1];
    } else if (lowestIsElementGap) {
        m.elementGap = lowest;
        m.characterGap = lowest + kThree;
        m.wordGap = m.characterGap + kWordOverCharacter;
    } else {
        m.elementGap = m.dot;
        m.characterGap = lowest;
        m.wordGap = m.characterGap + kWordOverCharacter;
    }
    return m;
}

void MorseDecoder::decodeHeld(bool all) {
    const Model m = model();
    const double characterBoundary = (m.elementGap + m.characterGap) / 2;
    const double wordBoundary = (m.characterGap + m.wordGap) / 2;
    std::vector<Held> marks;
    std::size_t used = 0;
    for (std::size_t i = 0; i < m_held.size(); ++i) {
        const Held& held = m_held[i];
        if (held.mark) {
            marks.push_back(held);
            continue;
        }
        const double logMs = std::log(held.ms);
        if (!held.pause && logMs < characterBoundary) {
            marks.push_back(held);
            continue;
        }
        emitCharacter(marks, m);
        marks.clear();
        const bool word = held.pause || logMs >= wordBoundary;
        m_elements.push_back({held.ms,
                              held.pause ? ElementKind::Pause
                              : word     ? ElementKind::WordGap
                                         : ElementKind::CharacterGap,
                              static_cast<int>(m_characters.size()) - 1});
        if (word) {
            emitText(QStringLiteral(" "));
        }
        used = i + 1;
    }
    if (all && !marks.empty()) {
        emitCharacter(marks, m);
        used = m_held.size();
    }
    m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(used));
}

// Marks and the element gaps between them, in order. A pattern that is no sign is most often
// one element read across a boundary: the mark nearest the dot/dash boundary read the other
// way, or two signs run together at their longest gap. The nearer of the two mends it when it
// gives signs; otherwise the unknown marker stands for it.
void MorseDecoder::emitCharacter(const std::vector<Held>& items, const Model& m) {
    if (items.empty()) {
        return;
    }
    const double dashBoundary = (m.dot + m.dash) / 2;
    const double characterBoundary = (m.elementGap + m.characterGap) / 2;
    std::vector<ElementKind> kinds;
    std::size_t doubtfulMark = 0;
    std::size_t longestGap = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const double logMs = std::log(items[i].ms);
        if (!items[i].mark) {
            kinds.push_back(ElementKind::ElementGap);
            if (items[i].ms > items[longestGap].ms || items[longestGap].mark) {
                longestGap = i;
            }
            continue;
        }
        kinds.push_back(logMs >= dashBoundary ? ElementKind::Dash : ElementKind::Dot);
        if (std::abs(logMs - dashBoundary) <
            std::abs(std::log(items[doubtfulMark].ms) - dashBoundary)) {
            doubtfulMark = i;
        }
    }
    if (!allSigns(kinds)) {
        std::vector<ElementKind> flipped = kinds;
        flipped[doubtfulMark] =
            kinds[doubtfulMark] == ElementKind::Dot ? ElementKind::Dash : ElementKind::Dot;
        std::vector<ElementKind> split = kinds;
        split[longestGap] = ElementKind::CharacterGap;
        const double flipMargin = std::abs(std::log(items[doubtfulMark].ms) - dashBoundary);
        const double splitMargin =
            items[longestGap].mark ? 1e9 : characterBoundary - std::log(items[longestGap].ms);
        const bool flipFirst = flipMargin <= splitMargin;
        for (const auto* mended : {flipFirst ? &flipped : &split, flipFirst ? &split : &flipped}) {
            if (allSigns(*mended)) {
                kinds = *mended;
                break;
            }
        }
    }
    QString pattern;
    for (std::size_t i = 0; i <= items.size(); ++i) {
        if (i == items.size() || kinds[i] == ElementKind::CharacterGap) {
            const auto sign = m_table.constFind(pattern);
            const QString text = sign != m_table.cend() ? *sign : QString(QChar(kUnknownMarker));
            m_characters.push_back({text, pattern});
            emitText(text);
            pattern.clear();
        } else if (kinds[i] != ElementKind::ElementGap) {
            pattern += kinds[i] == ElementKind::Dash ? u'-' : u'.';
        }
        if (i < items.size()) {
            m_elements.push_back({items[i].ms, kinds[i], static_cast<int>(m_characters.size())});
        }
    }
}

bool MorseDecoder::allSigns(const std::vector<ElementKind>& kinds) const {
    QString pattern;
    for (std::size_t i = 0; i <= kinds.size(); ++i) {
        if (i == kinds.size() || kinds[i] == ElementKind::CharacterGap) {
            if (pattern.size() > kLongestPattern || !m_table.contains(pattern)) {
                return false;
            }
            pattern.clear();
        } else if (kinds[i] != ElementKind::ElementGap) {
            pattern += kinds[i] == ElementKind::Dash ? u'-' : u'.';
        }
    }
    return true;
}

void MorseDecoder::emitText(const QString& piece) {
    if (piece == u" " && (m_text.isEmpty() || m_text.endsWith(u' '))) {
        return;
    }
    m_text += piece;
    if (m_output) {
        m_output(piece);
    }
}

double MorseDecoder::dotMs() const {
    return std::exp(model().dot);
}
double MorseDecoder::dashMs() const {
    return std::exp(model().dash);
}
double MorseDecoder::elementGapMs() const {
    return std::exp(model().elementGap);
}
double MorseDecoder::characterGapMs() const {
    return std::exp(model().characterGap);
}
double MorseDecoder::wordGapMs() const {
    return std::exp(model().wordGap);
}
