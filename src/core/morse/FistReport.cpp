#include "core/morse/FistReport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

struct Sums {
    int count = 0;
    double sum = 0;
    double squares = 0;

    void add(double value) {
        ++count;
        sum += value;
        squares += value * value;
    }
    TimingFigure inUnits(double unit) const {
        if (count == 0 || unit <= 0) {
            return {};
        }
        const double mean = sum / count;
        const double variance = std::max(0.0, squares / count - mean * mean);
        return {count, mean / unit, std::sqrt(variance) / unit};
    }
};

double NominalUnits(ElementKind kind) {
    switch (kind) {
        case ElementKind::Dash:
        case ElementKind::CharacterGap:
            return 3;
        case ElementKind::WordGap:
            return 7;
        case ElementKind::Dot:
        case ElementKind::ElementGap:
        case ElementKind::Pause:
            break;
    }
    return 1;
}

std::vector<CharacterTiming> FurthestOff(const std::vector<DecodedElement>& elements,
                                         const std::vector<DecodedCharacter>& characters,
                                         double unit) {
    // Per keyed character: the mean relative error of its own marks and element gaps.
    std::vector<Sums> perCharacter(characters.size());
    for (const DecodedElement& element : elements) {
        const bool inside = element.kind == ElementKind::Dot || element.kind == ElementKind::Dash ||
                            element.kind == ElementKind::ElementGap;
        if (inside && element.character >= 0 &&
            element.character < static_cast<int>(characters.size())) {
            const double expected = NominalUnits(element.kind) * unit;
            perCharacter[static_cast<std::size_t>(element.character)].add(
                std::abs(element.ms / expected - 1));
        }
    }
    std::map<QString, Sums> perSign;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const QString& text = characters[i].text;
        if (perCharacter[i].count > 0 && text != QChar(MorseDecoder::kUnknownMarker)) {
            perSign[text].add(perCharacter[i].sum / perCharacter[i].count);
        }
    }
    std::vector<CharacterTiming> signs;
    for (const auto& [text, sums] : perSign) {
        if (sums.sum / sums.count >= FistReport::kLargeDeviation) {
            signs.push_back({text, sums.count, sums.sum / sums.count});
        }
    }
    std::stable_sort(signs.begin(), signs.end(),
                     [](const auto& a, const auto& b) { return a.deviation > b.deviation; });
    signs.resize(std::min<std::size_t>(signs.size(), 3));
    return signs;
}

QString Units(const TimingFigure& figure) {
    if (figure.count == 0) {
        return QStringLiteral("—");
    }
    return QStringLiteral("%1 単位（ばらつき ±%2）")
        .arg(figure.units, 0, 'f', 1)
        .arg(figure.spread, 0, 'f', 2);
}

// The decoder told character gaps from word gaps as they came, while it was still learning the
// sender; with the whole practice at hand they are split again at the geometric mean of the two
// groups' means, for as long as both groups stay and the word gaps stay clearly the longer.
void SettleLongGaps(const std::vector<DecodedElement>& elements, Sums& character, Sums& word) {
    constexpr double kShortestWordRatio = 1.8;
    std::vector<double> gaps;
    for (const DecodedElement& element : elements) {
        if (element.kind == ElementKind::CharacterGap || element.kind == ElementKind::WordGap) {
            gaps.push_back(element.ms);
        }
    }
    for (int round = 0; round < 10 && character.count > 0 && word.count > 0; ++round) {
        const double boundary = std::sqrt(character.sum / character.count * word.sum / word.count);
        Sums shorter;
        Sums longer;
        for (const double ms : gaps) {
            (ms < boundary ? shorter : longer).add(ms);
        }
        if (shorter.count == 0 || longer.count == 0 ||
            longer.sum / longer.count < kShortestWordRatio * shorter.sum / shorter.count ||
            (shorter.count == character.count && shorter.sum == character.sum)) {
            return;
        }
        character = shorter;
        word = longer;
    }
}

}  // namespace

FistReport MakeFistReport(const std::vector<DecodedElement>& elements,
                          const std::vector<DecodedCharacter>& characters) {
    std::array<Sums, 6> sums;  // pauses are counted apart and left out of every figure
    for (const DecodedElement& element : elements) {
        sums[static_cast<std::size_t>(element.kind)].add(element.ms);
    }
    SettleLongGaps(elements, sums[static_cast<std::size_t>(ElementKind::CharacterGap)],
                   sums[static_cast<std::size_t>(ElementKind::WordGap)]);
    FistReport report;
    const Sums& dots = sums[static_cast<std::size_t>(ElementKind::Dot)];
    if (dots.count == 0) {
        return report;
    }
    const double unit = dots.sum / dots.count;
    report.dotMs = unit;
    report.wpm = 1200 / unit;
    report.dot = dots.inUnits(unit);
    report.dash = sums[static_cast<std::size_t>(ElementKind::Dash)].inUnits(unit);
    report.elementGap = sums[static_cast<std::size_t>(ElementKind::ElementGap)].inUnits(unit);
    report.characterGap = sums[static_cast<std::size_t>(ElementKind::CharacterGap)].inUnits(unit);
    report.wordGap = sums[static_cast<std::size_t>(ElementKind::WordGap)].inUnits(unit);
    report.furthestOff = FurthestOff(elements, characters, unit);
    report.markHistogram.assign(FistReport::kBins, 0);
    report.gapHistogram.assign(FistReport::kBins, 0);
    for (const DecodedElement& element : elements) {
        if (element.kind == ElementKind::Pause) {
            continue;
        }
        const bool mark = element.kind == ElementKind::Dot || element.kind == ElementKind::Dash;
        const int bin = std::min(FistReport::kBins - 1,
                                 static_cast<int>(element.ms / unit / FistReport::kBinUnits));
        ++(mark ? report.markHistogram : report.gapHistogram)[static_cast<std::size_t>(bin)];
    }
    return report;
}

QList<FistReportRow> FistReportRows(const FistReport& report) {
    QList<FistReportRow> rows;
    rows.append({QStringLiteral("速度"),
                 report.dot.count == 0 ? QStringLiteral("—")
                                       : QStringLiteral("%1 WPM（短点 %2 ms）")
                                             .arg(report.wpm, 0, 'f', 1)
                                             .arg(report.dotMs, 0, 'f', 0),
                 QString()});
    rows.append({QStringLiteral("短点"), Units(report.dot), QStringLiteral("1 単位")});
    rows.append(
        {QStringLiteral("長点（長点と短点の比）"), Units(report.dash), QStringLiteral("3 単位")});
    rows.append(
        {QStringLiteral("符号内の間隔"), Units(report.elementGap), QStringLiteral("1 単位")});
    rows.append(
        {QStringLiteral("文字間の間隔"), Units(report.characterGap), QStringLiteral("3 単位")});
    rows.append({QStringLiteral("単語間の間隔"), Units(report.wordGap), QStringLiteral("7 単位")});
    QStringList worst;
    for (const CharacterTiming& sign : report.furthestOff) {
        worst.append(QStringLiteral("%1（%2 %）").arg(sign.text).arg(qRound(sign.deviation * 100)));
    }
    const QString none = report.dot.count == 0
                             ? QStringLiteral("—")
                             : QStringLiteral("なし（どの文字も標準との差が %1 % 未満）")
                                   .arg(qRound(FistReport::kLargeDeviation * 100));
    rows.append({QStringLiteral("タイミングのずれが大きい文字"),
                 worst.isEmpty() ? none : worst.join(QStringLiteral("、")), QString()});
    return rows;
}
