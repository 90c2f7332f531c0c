#include "core/history/HistoryStats.h"

#include <algorithm>

std::array<int, 36> AskedCounts(const QString& question) {
    std::array<int, 36> counts{};
    for (const QChar c : question) {
        // ASCII only, as the database's upper() sees it.
        const qsizetype index = c.unicode() < 0x80 ? kMissOrder.indexOf(c.toUpper()) : -1;
        if (index >= 0) {
            ++counts[std::size_t(index)];
        }
    }
    return counts;
}

QList<CharacterMisses> RankMissRates(QList<CharacterMisses> totals) {
    for (CharacterMisses& total : totals) {
        total.rate = total.asked() ? std::min(1.0, double(total.misses) / total.played) : 0.0;
    }
    std::sort(totals.begin(), totals.end(), [](const CharacterMisses& a, const CharacterMisses& b) {
        if (a.asked() != b.asked()) {
            return a.asked();
        }
        if (a.rate != b.rate) {
            return a.rate > b.rate;
        }
        if (a.misses != b.misses) {
            return a.misses > b.misses;
        }
        return kMissOrder.indexOf(a.character) < kMissOrder.indexOf(b.character);
    });
    return totals;
}

QList<CharacterMisses> MissRates(const QList<LessonRecord>& lessons) {
    QList<CharacterMisses> totals;
    for (const QChar c : kMissOrder) {
        totals.append({c, 0, 0, 0});
    }
    for (const LessonRecord& lesson : lessons) {
        if (lesson.mode != LessonRecord::Mode::Step) {
            continue;
        }
        const std::array<int, 36> asked = AskedCounts(lesson.question);
        for (std::size_t i = 0; i < asked.size(); ++i) {
            totals[qsizetype(i)].misses += lesson.misses[i];
            totals[qsizetype(i)].played += asked[i];
        }
    }
    return RankMissRates(totals);
}

Scoring ScoringOf(const LessonRecord& lesson) {
    if (lesson.mode == LessonRecord::Mode::Step) {
        return lesson.correct ? Scoring::Answers : Scoring::None;
    }
    // A Normal lesson's pairs come only from its copy, which counts every character sent.
    const bool copied = std::any_of(lesson.confusions.begin(), lesson.confusions.end(),
                                    [](const auto& entry) { return !entry.first.first.isNull(); });
    return copied ? Scoring::Copy : Scoring::None;
}

std::optional<LessonScore> ScoreOf(const LessonRecord& lesson) {
    switch (ScoringOf(lesson)) {
        case Scoring::Answers:
            return LessonScore{std::min(*lesson.correct, lesson.played), lesson.played};
        case Scoring::Copy: {
            LessonScore score;
            for (const auto& [character, tally] : CopyTallies(lesson.confusions)) {
                score.right += tally.right;
                score.of += tally.sent;
            }
            return score;
        }
        case Scoring::None:
            break;
    }
    return std::nullopt;
}

std::optional<double> AccuracyPercent(const LessonRecord& lesson) {
    const std::optional<LessonScore> score = ScoreOf(lesson);
    if (!score || score->of <= 0) {
        return std::nullopt;
    }
    return 100.0 * score->right / score->of;
}

QList<double> DrillWeights(const QList<CharacterMisses>& rates, QStringView characters) {
    QList<double> weights;
    for (const QChar c : characters) {
        double rate = 0;
        for (const CharacterMisses& known : rates) {
            if (known.character == c.toUpper()) {
                rate = known.rate;
            }
        }
        weights.append(1 + 9 * rate);
    }
    return weights;
}

QList<ConfusionEntry> MostConfused(const ConfusionCounts& counts) {
    QList<ConfusionEntry> entries;
    for (const auto& [pair, count] : counts) {
        if (pair.first != pair.second && count > 0) {
            entries.append({pair.first, pair.second, count});
        }
    }
    // The map's order is the tie-break: a stable sort keeps it.
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const ConfusionEntry& a, const ConfusionEntry& b) { return a.count > b.count; });
    return entries;
}

QString ConfusionName(QChar character) {
    return character.isNull() ? QStringLiteral("なし") : QString(character);
}

std::map<QChar, CopyTally> CopyTallies(const ConfusionCounts& counts) {
    std::map<QChar, CopyTally> tallies;
    for (const auto& [pair, count] : counts) {
        if (pair.first.isNull()) {
            continue;
        }
        CopyTally& tally = tallies[pair.first];
        tally.sent += count;
        tally.right += pair.first == pair.second ? count : 0;
    }
    return tallies;
}

QList<CharacterMisses> WithCopyTallies(QList<CharacterMisses> rates,
                                       const ConfusionCounts& counts) {
    const std::map<QChar, CopyTally> tallies = CopyTallies(counts);
    for (CharacterMisses& rate : rates) {
        const auto found = tallies.find(rate.character);
        if (found != tallies.end() && found->second.sent > 0) {
            rate.played = found->second.sent;
            rate.misses = found->second.sent - found->second.right;
            rate.rate = double(rate.misses) / rate.played;
        }
    }
    return RankMissRates(rates);
}
