#include "history/HistoryStats.h"

#include <algorithm>

QList<CharacterMisses> MissRates(const QList<LessonRecord>& lessons) {
    QList<CharacterMisses> rates;
    for (const QChar c : kMissOrder) {
        rates.append({c, 0, 0, 0});
    }
    for (const LessonRecord& lesson : lessons) {
        if (lesson.mode != LessonRecord::Mode::Step) {
            continue;
        }
        for (qsizetype i = 0; i < rates.size(); ++i) {
            rates[i].misses += lesson.misses[static_cast<std::size_t>(i)];
        }
        for (const QChar c : lesson.question) {
            const qsizetype index = kMissOrder.indexOf(c.toUpper());
            if (index >= 0) {
                ++rates[index].played;
            }
        }
    }
    for (CharacterMisses& rate : rates) {
        rate.rate = rate.played > 0 ? std::min(1.0, double(rate.misses) / rate.played) : 0.0;
    }
    // Stable: equal rates and misses keep the answer buttons' order.
    std::stable_sort(rates.begin(), rates.end(),
                     [](const CharacterMisses& a, const CharacterMisses& b) {
                         if (a.rate != b.rate) {
                             return a.rate > b.rate;
                         }
                         return a.misses > b.misses;
                     });
    return rates;
}

std::optional<double> AccuracyPercent(const LessonRecord& lesson) {
    if (lesson.mode != LessonRecord::Mode::Step || !lesson.correct || lesson.played <= 0) {
        return std::nullopt;
    }
    return 100.0 * std::min(*lesson.correct, lesson.played) / lesson.played;
}

QMap<int, QList<AccuracyPoint>> AccuracyBySpeed(const QList<LessonRecord>& lessons) {
    QMap<int, QList<AccuracyPoint>> series;
    for (const LessonRecord& lesson : lessons) {
        if (const std::optional<double> percent = AccuracyPercent(lesson)) {
            series[lesson.speed].append({lesson.finishedAt, *percent});
        }
    }
    for (QList<AccuracyPoint>& points : series) {
        std::stable_sort(
            points.begin(), points.end(),
            [](const AccuracyPoint& a, const AccuracyPoint& b) { return a.at < b.at; });
    }
    return series;
}

QList<LessonRecord> FilterLessons(const QList<LessonRecord>& lessons, int days,
                                  std::optional<int> speed, const QDateTime& now) {
    const QDateTime from = now.addDays(-days);
    QList<LessonRecord> kept;
    for (const LessonRecord& lesson : lessons) {
        if ((days <= 0 || lesson.finishedAt >= from) && (!speed || lesson.speed == *speed)) {
            kept.append(lesson);
        }
    }
    return kept;
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
