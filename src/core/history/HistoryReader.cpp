#include "core/history/HistoryReader.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "core/history/HistoryDatabase.h"
#include "core/history/LessonsCsv.h"

using namespace Qt::StringLiterals;

namespace {

// What a column of the lesson list sorts by; the figures of a lesson not scored are NULL.
QString OrderKey(LessonColumn column) {
    switch (column) {
        case LessonColumn::FinishedAt:
            return u"finished_at"_s;
        case LessonColumn::Peer:
            return u"peer"_s;
        case LessonColumn::Mode:
            return u"mode"_s;
        case LessonColumn::Speed:
            return u"speed"_s;
        case LessonColumn::FineAdjust:
            return u"fine_adjust"_s;
        case LessonColumn::Sound:
            return u"sound"_s;
        case LessonColumn::Played:
            return u"played"_s;
        case LessonColumn::Correct:
            return u"(CASE WHEN mode = 'step' THEN correct ELSE copy_right END)"_s;
        case LessonColumn::Accuracy:
            return AccuracySql();
        case LessonColumn::Scoring:
            return u"(CASE WHEN mode = 'step' THEN (CASE WHEN correct IS NOT NULL THEN 1 END) "
                   "WHEN copy_sent IS NOT NULL THEN 2 END)"_s;
        case LessonColumn::Confusions:
            return u"(SELECT TOTAL(count) FROM confusions WHERE lesson_id = lessons.id "
                   "AND sent <> heard)"_s;
        case LessonColumn::Band:
            return u"band"_s;
        case LessonColumn::BandSeed:
            return u"band_seed"_s;
        case LessonColumn::Misses:
            break;
    }
    return u"(SELECT TOTAL(count) FROM misses WHERE lesson_id = lessons.id)"_s;
}

bool MayBeNull(LessonColumn column) {
    return column == LessonColumn::Correct || column == LessonColumn::Accuracy ||
           column == LessonColumn::Scoring || column == LessonColumn::BandSeed;
}

// Lessons without a figure sort together after the others, before them when reversed; equal
// keys keep the order in which the lessons were stored.
QString OrderBy(LessonOrder order) {
    const auto column = LessonColumn(order.column);
    const QString direction = order.order == Qt::AscendingOrder ? u"ASC"_s : u"DESC"_s;
    const QString key = OrderKey(column);
    QString sql = u"ORDER BY "_s;
    if (MayBeNull(column)) {
        sql += key + u" IS NULL "_s + direction + u", "_s;
    }
    return sql + key + u' ' + direction + u", id "_s + direction;
}

}  // namespace

HistoryFilter HistoryFilter::Last(int days, std::optional<int> speed, const QDateTime& now) {
    HistoryFilter filter;
    if (days > 0) {
        filter.fromDay = now.toLocalTime().date().addDays(-days).toString(Qt::ISODate);
    }
    filter.speed = speed;
    return filter;
}

HistoryReader::HistoryReader(QString path, int busyTimeoutMs)
    : m_path(std::move(path)), m_busyTimeoutMs(busyTimeoutMs) {}

HistoryReader::~HistoryReader() = default;

HistoryStore::Outcome HistoryReader::open() {
    m_connection.reset();
    m_failure.reset();
    if (!QFileInfo::exists(m_path)) {
        return HistoryStore::Outcome::Ok();
    }
    auto connection = std::make_unique<HistoryConnection>(
        m_path, HistoryConnection::Options{m_busyTimeoutMs, false, 0});
    if (!connection->opened()) {
        fail(connection->openError());
        return *m_failure;
    }
    QSqlQuery query(connection->database());
    QSqlError error;
    std::optional<int> version = SchemaVersion(query, error);
    if (version && *version > 0 && *version < kHistorySchemaVersion) {
        // An older program's file: brought up to date once, as the next lesson would.
        std::optional<QSqlError> failure = RunSql(query, u"BEGIN IMMEDIATE"_s);
        version = SchemaVersion(query, error);
        if (!failure && version && *version < kHistorySchemaVersion) {
            failure = MigrateSchema(query, *version);
        }
        if (!failure) {
            failure = RunSql(query, u"COMMIT"_s);
        }
        if (failure) {
            RunSql(query, u"ROLLBACK"_s);
            error = *failure;
            version.reset();
        }
    }
    if (!version) {
        fail(error);
        return *m_failure;
    }
    if (*version > kHistorySchemaVersion) {
        fail(NewerFileError());
        return *m_failure;
    }
    if (*version > 0) {
        m_connection = std::move(connection);
    }
    return HistoryStore::Outcome::Ok();
}

void HistoryReader::fail(const QSqlError& error) {
    if (m_failure) {
        return;
    }
    HistoryStore::Outcome outcome;
    outcome.fault = FaultOf(error);
    outcome.error = FaultText(error, m_path);
    m_failure = outcome;
}

bool HistoryReader::select(QSqlQuery& query, const QString& sql, const HistoryFilter& filter,
                           const QList<QVariant>& more, bool onLessons) {
    QStringList conditions;
    QList<QVariant> values;
    if (!filter.fromDay.isEmpty()) {
        conditions << u"day >= ?"_s;
        values << filter.fromDay;
    }
    if (filter.speed) {
        conditions << u"speed = ?"_s;
        values << *filter.speed;
    }
    if (filter.setting) {
        conditions << (onLessons ? SettingSql() : u"setting"_s) + u" = ?"_s;
        values << *filter.setting;
    }
    if (filter.band && onLessons) {
        // "> ''" rather than "<> ''", which no index can serve.
        conditions << (*filter.band ? u"band > ''"_s : u"band = ''"_s);
    }
    const QString where =
        conditions.isEmpty() ? QString() : u"WHERE "_s + conditions.join(u" AND "_s);
    query.setForwardOnly(true);
    query.prepare(sql.arg(where));
    for (const QVariant& value : values + more) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        fail(query.lastError());
        return false;
    }
    return true;
}

bool HistoryReader::isEmpty() {
    return lessonCount({}) == 0;
}

int HistoryReader::lessonCount(const HistoryFilter& filter) {
    if (!m_connection) {
        return 0;
    }
    QSqlQuery query(m_connection->database());
    const bool read = filter.band
                          ? select(query, u"SELECT COUNT(*) FROM lessons %1"_s, filter, {}, true)
                          : select(query, u"SELECT TOTAL(lessons) FROM days %1"_s, filter);
    if (!read || !query.next()) {
        return 0;
    }
    return query.value(0).toInt();
}

QList<DayAccuracy> HistoryReader::dailyAccuracy(const HistoryFilter& filter) {
    QList<DayAccuracy> days;
    if (!m_connection) {
        return days;
    }
    QSqlQuery query(m_connection->database());
    if (!select(query,
                u"SELECT day, speed, setting, judged_lessons, judged_correct * 100.0 / "
                "judged_played, copy_lessons, copy_right * 100.0 / copy_sent "
                "FROM days %1 ORDER BY day, speed, setting"_s,
                filter)) {
        return days;
    }
    while (query.next()) {
        const QDate day = QDate::fromString(query.value(0).toString(), Qt::ISODate);
        for (const bool copy : {false, true}) {
            const int lessons = query.value(copy ? 5 : 3).toInt();
            const QVariant percent = query.value(copy ? 6 : 4);
            if (lessons > 0 && !percent.isNull()) {
                days.append({day, query.value(1).toInt(), query.value(2).toString(), lessons,
                             percent.toDouble(), copy});
            }
        }
    }
    return days;
}

QStringList HistoryReader::freeSettings() {
    QStringList settings;
    if (!m_connection) {
        return settings;
    }
    QSqlQuery query(m_connection->database());
    if (select(query, u"SELECT DISTINCT setting FROM days %1"_s, {})) {
        while (query.next()) {
            // The fixed speeds' "", and figures changed by hand out of range, are no such speed.
            if (FreeSpeedOfSetting(query.value(0).toString())) {
                settings.append(query.value(0).toString());
            }
        }
    }
    std::sort(settings.begin(), settings.end(), SettingBefore);
    return settings;
}

QList<CharacterMisses> HistoryReader::missRates(const HistoryFilter& filter) {
    QList<CharacterMisses> totals;
    for (const QChar c : kMissOrder) {
        totals.append({c, 0, 0, 0});
    }
    if (m_connection) {
        QSqlQuery query(m_connection->database());
        if (select(query,
                   u"SELECT character, TOTAL(missed), TOTAL(asked) FROM day_characters %1 "
                   "GROUP BY character"_s,
                   filter)) {
            while (query.next()) {
                const qsizetype index = kMissOrder.indexOf(query.value(0).toString());
                if (index >= 0) {
                    totals[index].misses = query.value(1).toInt();
                    totals[index].played = query.value(2).toInt();
                }
            }
        }
    }
    return RankMissRates(totals);
}

ConfusionCounts HistoryReader::confusionsOf(QSqlQuery& query, bool selected) {
    ConfusionCounts counts;
    while (selected && query.next()) {
        const QString sent = query.value(0).toString();
        const QString heard = query.value(1).toString();
        const QChar sentCharacter = sent.size() == 1 ? sent.front() : QChar();
        const QChar heardCharacter = heard.size() == 1 ? heard.front() : QChar();
        counts[{sentCharacter, heardCharacter}] += query.value(2).toInt();
    }
    return counts;
}

ConfusionCounts HistoryReader::confusions(const HistoryFilter& filter) {
    if (!m_connection) {
        return {};
    }
    QSqlQuery query(m_connection->database());
    const bool selected =
        select(query,
               u"SELECT sent, heard, TOTAL(count) FROM "_s +
                   (filter.fromDay.isEmpty() ? u"confusion_totals"_s : u"day_confusions"_s) +
                   u" %1 GROUP BY sent, heard"_s,
               filter);
    return confusionsOf(query, selected);
}

ConfusionCounts HistoryReader::recentConfusions(int lessons) {
    if (!m_connection) {
        return {};
    }
    QSqlQuery query(m_connection->database());
    const bool selected = select(query,
                                 u"SELECT sent, heard, TOTAL(count) FROM confusions "
                                 "WHERE lesson_id IN (SELECT DISTINCT lesson_id FROM confusions "
                                 "ORDER BY lesson_id DESC LIMIT ?) %1 GROUP BY sent, heard"_s,
                                 {}, {lessons});
    return confusionsOf(query, selected);
}

QList<LessonRecord> HistoryReader::lessons(const HistoryFilter& filter, LessonOrder order,
                                           int offset, int limit) {
    QList<LessonRecord> page;
    if (!m_connection) {
        return page;
    }
    QSqlQuery query(m_connection->database());
    // The page's lessons found by their order alone, then read whole: far down a long list,
    // the sort then carries keys, not every lesson's texts and misses.
    const QString orderBy = OrderBy(order);
    if (select(query,
               u"SELECT "_s + LessonColumnsSql(true) +
                   u" FROM lessons WHERE id IN (SELECT id FROM lessons %1 "_s + orderBy +
                   u" LIMIT ? OFFSET ?) "_s + orderBy,
               filter, {limit, offset}, true)) {
        while (query.next()) {
            page.append(LessonFromRow(query, true));
        }
    }
    return page;
}

bool HistoryReader::forEachLesson(const HistoryFilter& filter,
                                  const std::function<bool(const LessonRecord&)>& visit) {
    if (!m_connection) {
        return true;
    }
    QSqlQuery query(m_connection->database());
    if (!select(
            query,
            u"SELECT "_s + LessonColumnsSql(true) + u" FROM lessons %1 ORDER BY finished_at, id"_s,
            filter, {}, true)) {
        return false;
    }
    while (query.next()) {
        if (!visit(LessonFromRow(query, true))) {
            break;
        }
    }
    // A step that failed midway ends the loop above as the last row would.
    if (query.lastError().isValid()) {
        fail(query.lastError());
        return false;
    }
    return true;
}
