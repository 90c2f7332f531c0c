#include "core/history/HistoryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <algorithm>

#include "core/history/HistoryStats.h"
#include "core/history/SqlText.h"

using namespace Qt::StringLiterals;

namespace {

// Adds to the running totals of the lesson's day, speed and speed setting.
std::optional<QSqlError> AddToTotals(QSqlQuery& query, const LessonRecord& lesson,
                                     const QString& day, const QString& setting) {
    const bool judged =
        lesson.mode == LessonRecord::Mode::Step && lesson.correct && lesson.played > 0;
    const std::optional<LessonScore> score = ScoreOf(lesson);
    const bool copied = ScoringOf(lesson) == Scoring::Copy;
    query.prepare(
        u"INSERT INTO days VALUES (?, ?, ?, 1, ?, ?, ?, ?, ?, ?) ON CONFLICT (day, speed, setting) "
        "DO UPDATE SET "
        "lessons = lessons + 1, judged_lessons = judged_lessons + excluded.judged_lessons, "
        "judged_played = judged_played + excluded.judged_played, "
        "judged_correct = judged_correct + excluded.judged_correct, "
        "copy_lessons = copy_lessons + excluded.copy_lessons, "
        "copy_sent = copy_sent + excluded.copy_sent, "
        "copy_right = copy_right + excluded.copy_right"_s);
    query.addBindValue(day);
    query.addBindValue(lesson.speed);
    query.addBindValue(setting);
    query.addBindValue(judged ? 1 : 0);
    query.addBindValue(judged ? lesson.played : 0);
    query.addBindValue(judged ? std::min(*lesson.correct, lesson.played) : 0);
    query.addBindValue(copied ? 1 : 0);
    query.addBindValue(copied ? score->of : 0);
    query.addBindValue(copied ? score->right : 0);
    if (!query.exec()) {
        return query.lastError();
    }
    if (lesson.mode != LessonRecord::Mode::Step) {
        return std::nullopt;  // only Step lessons are judged character by character
    }
    const std::array<int, 36> asked = AskedCounts(lesson.question);
    query.prepare(
        u"INSERT INTO day_characters VALUES (?, ?, ?, ?, ?, ?) "
        "ON CONFLICT (day, speed, setting, character) DO UPDATE SET "
        "asked = asked + excluded.asked, missed = missed + excluded.missed"_s);
    for (std::size_t i = 0; i < asked.size(); ++i) {
        if (asked[i] == 0 && lesson.misses[i] == 0) {
            continue;
        }
        query.addBindValue(day);
        query.addBindValue(lesson.speed);
        query.addBindValue(setting);
        query.addBindValue(QString(kMissOrder[qsizetype(i)]));
        query.addBindValue(asked[i]);
        query.addBindValue(lesson.misses[i]);
        if (!query.exec()) {
            return query.lastError();
        }
    }
    return std::nullopt;
}

std::optional<QSqlError> Insert(QSqlQuery& query, const LessonRecord& lesson) {
    const QString day = LocalDay(lesson.finishedAt);
    query.prepare(
        u"INSERT INTO lessons (finished_at, peer, mode, speed, fine_adjust, sound, played, "
        "correct, question, day, character_wpm, effective_wpm, extra_word_units, band, band_seed, "
        "copy_sent, copy_right) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    query.addBindValue(lesson.finishedAt.toUTC().toString(Qt::ISODateWithMs));
    query.addBindValue(SqlText(lesson.peer));
    query.addBindValue(ModeName(lesson.mode));
    query.addBindValue(lesson.speed);
    query.addBindValue(lesson.fineAdjust);
    query.addBindValue(SqlText(lesson.sound));
    query.addBindValue(lesson.played);
    query.addBindValue(lesson.correct ? QVariant(*lesson.correct) : QVariant());
    query.addBindValue(SqlText(lesson.question));
    query.addBindValue(day);
    const std::optional<FreeSpeed>& free = lesson.freeSpeed;
    query.addBindValue(free ? QVariant(free->characterWpm) : QVariant());
    query.addBindValue(free ? QVariant(free->effectiveWpm) : QVariant());
    query.addBindValue(free ? QVariant(free->extraWordUnits) : QVariant());
    query.addBindValue(SqlText(lesson.band));
    query.addBindValue(lesson.bandSeed ? QVariant(static_cast<qint64>(*lesson.bandSeed))
                                       : QVariant());
    // A Normal lesson's copy score beside it, for the list to sort by.
    const std::optional<LessonScore> copy =
        ScoringOf(lesson) == Scoring::Copy ? ScoreOf(lesson) : std::nullopt;
    query.addBindValue(copy ? QVariant(copy->of) : QVariant());
    query.addBindValue(copy ? QVariant(copy->right) : QVariant());
    if (!query.exec()) {
        return query.lastError();
    }
    const QVariant id = query.lastInsertId();
    // The setting as the running totals are keyed by, in the database's own words.
    query.prepare(u"SELECT "_s + SettingSql() + u" FROM lessons WHERE id = ?"_s);
    query.addBindValue(id);
    if (!query.exec() || !query.next()) {
        return query.lastError();
    }
    const QString setting = query.value(0).toString();
    query.finish();
    query.prepare(u"INSERT INTO misses (lesson_id, character, count) VALUES (?, ?, ?)"_s);
    for (qsizetype i = 0; i < kMissOrder.size(); ++i) {
        const int count = lesson.misses[static_cast<std::size_t>(i)];
        if (count == 0) {
            continue;
        }
        query.addBindValue(id);
        query.addBindValue(QString(kMissOrder[i]));
        query.addBindValue(count);
        if (!query.exec()) {
            return query.lastError();
        }
    }
    // Each pair for the lesson, added to its day's and speed's totals and to its speed's over
    // every day.
    enum class Into { Lesson, Day, AllDays };
    for (const Into into : {Into::Lesson, Into::Day, Into::AllDays}) {
        query.prepare(into == Into::Lesson ? u"INSERT INTO confusions VALUES (?, ?, ?, ?)"_s
                      : into == Into::Day
                          ? u"INSERT INTO day_confusions VALUES (?, ?, ?, ?, ?, ?) "
                            "ON CONFLICT (day, speed, setting, sent, heard) DO UPDATE SET "
                            "count = count + excluded.count"_s
                          : u"INSERT INTO confusion_totals VALUES (?, ?, ?, ?, ?) "
                            "ON CONFLICT (speed, setting, sent, heard) DO UPDATE SET "
                            "count = count + excluded.count"_s);
        for (const auto& [pair, count] : lesson.confusions) {
            if (into == Into::Lesson) {
                query.addBindValue(id);
            } else {
                if (into == Into::Day) {
                    query.addBindValue(day);
                }
                query.addBindValue(lesson.speed);
                query.addBindValue(setting);
            }
            query.addBindValue(pair.first.isNull() ? u""_s : QString(pair.first));
            query.addBindValue(pair.second.isNull() ? u""_s : QString(pair.second));
            query.addBindValue(count);
            if (!query.exec()) {
                return query.lastError();
            }
        }
    }
    return AddToTotals(query, lesson, day, setting);
}

// Brings the file to the current schema and adds what insert writes, all in one transaction.
std::optional<QSqlError> Write(const QString& path, const HistoryConnection::Options& options,
                               const HistoryStore::Inserter& insert) {
    const HistoryConnection connection(path, options);
    if (!connection.opened()) {
        return connection.openError();
    }
    QSqlQuery query(connection.database());
    std::optional<QSqlError> failure = RunSql(query, u"BEGIN IMMEDIATE"_s);
    if (failure) {
        return failure;
    }
    QSqlError error;
    const std::optional<int> version = SchemaVersion(query, error);
    if (!version) {
        failure = error;
    } else if (*version > HistoryStore::kSchemaVersion) {
        failure = NewerFileError();
    } else if (*version < HistoryStore::kSchemaVersion) {
        failure = MigrateSchema(query, *version);
    }
    if (!failure) {
        failure = insert(query);
    }
    if (!failure) {
        failure = RunSql(query, u"COMMIT"_s);
    }
    if (failure) {
        RunSql(query, u"ROLLBACK"_s);
    }
    return failure;
}

}  // namespace

HistoryStore::HistoryStore(QString path, int busyTimeoutMs)
    : m_path(std::move(path)), m_busyTimeoutMs(busyTimeoutMs) {}

QString HistoryStore::DefaultPath() {
    // The trainer's per-user data folder by name, so that the partner (another program) finds
    // the same file.
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        data = QDir::homePath();
    }
    return QDir(data).filePath(u"Quillstart/history.sqlite"_s);
}

HistoryStore::Outcome HistoryStore::failed(const QSqlError& error) const {
    Outcome outcome;
    outcome.fault = FaultOf(error);
    outcome.error = FaultText(error, m_path);
    return outcome;
}

HistoryStore::Outcome HistoryStore::save(const QList<LessonRecord>& lessons) {
    return saveWith([&lessons](QSqlQuery& query) -> std::optional<QSqlError> {
        for (const LessonRecord& lesson : lessons) {
            if (auto failure = Insert(query, lesson)) {
                return failure;
            }
        }
        return std::nullopt;
    });
}

HistoryStore::Outcome HistoryStore::saveWith(const Inserter& insert) {
    if (!QDir().mkpath(QFileInfo(m_path).path())) {
        Outcome outcome;
        outcome.fault = HistoryFault::Unwritable;
        outcome.error =
            u"%1 を作れません"_s.arg(QDir::toNativeSeparators(QFileInfo(m_path).path()));
        return outcome;
    }
    const HistoryConnection::Options options{m_busyTimeoutMs, false, m_maxPageCount};
    std::optional<QSqlError> failure = Write(m_path, options, insert);
    QString keptAside;
    if (failure && FaultOf(*failure) == HistoryFault::Corrupt) {
        keptAside = setAside();
        if (!keptAside.isEmpty()) {
            failure = Write(m_path, options, insert);
        }
    }
    Outcome outcome = failure ? failed(*failure) : Outcome::Ok();
    outcome.keptAside = keptAside;
    return outcome;
}

QString HistoryStore::setAside() const {
    const QString stem =
        m_path + u".corrupt-"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside = stem + u'-' + QString::number(n);
    }
    if (!QFile::rename(m_path, aside)) {
        return {};
    }
    // A journal left beside it belongs to the old file, never to the new one.
    const QString journal = m_path + u"-journal"_s;
    if (QFileInfo::exists(journal)) {
        QFile::rename(journal, aside + u"-journal"_s);
    }
    return aside;
}

HistoryStore::Outcome HistoryStore::checkIntegrity() const {
    if (!QFileInfo::exists(m_path)) {
        return Outcome::Ok();
    }
    const HistoryConnection connection(m_path, {m_busyTimeoutMs, true});
    if (!connection.opened()) {
        return failed(connection.openError());
    }
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (auto failure = RunSql(query, u"PRAGMA quick_check"_s)) {
        return failed(*failure);
    }
    if (query.next() && query.value(0).toString() == u"ok"_s) {
        return Outcome::Ok();
    }
    Outcome outcome;
    outcome.fault = HistoryFault::Corrupt;
    outcome.error = u"ファイルが壊れています"_s;
    return outcome;
}

QList<LessonRecord> HistoryStore::load(Outcome* outcome) const {
    Outcome result = Outcome::Ok();
    QList<LessonRecord> lessons;
    const auto finish = [&] {
        if (outcome != nullptr) {
            *outcome = result;
        }
        return lessons;
    };
    if (!QFileInfo::exists(m_path)) {
        return finish();
    }
    const HistoryConnection connection(m_path, {m_busyTimeoutMs, true});
    if (!connection.opened()) {
        result = failed(connection.openError());
        return finish();
    }
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    QSqlError error;
    const std::optional<int> version = SchemaVersion(query, error);
    if (!version) {
        result = failed(error);
        return finish();
    }
    if (*version == 0) {
        return finish();  // made but never written to
    }
    // Older files kept the fine adjustment's value, the opposite sign of the change of speed.
    const QString fineAdjust = *version >= 3 ? u"fine_adjust"_s : u"-fine_adjust"_s;
    const QString question = *version >= 2 ? u"question"_s : u"''"_s;
    const QString freeSpeed =
        *version >= 5 ? u"character_wpm, effective_wpm, extra_word_units"_s : u"NULL, NULL, NULL"_s;
    const QString band = *version >= 6 ? u"band, band_seed"_s : u"'', NULL"_s;
    QMap<qint64, qsizetype> byId;
    std::optional<QSqlError> failure =
        RunSql(query,
               u"SELECT id, finished_at, peer, mode, speed, %1, sound, played, correct, "
               "%2, %3, %4 FROM lessons ORDER BY finished_at, id"_s.arg(fineAdjust, question,
                                                                        freeSpeed, band));
    while (!failure && query.next()) {
        LessonRecord lesson = LessonFromRow(query, false);
        byId.insert(lesson.id, lessons.size());
        lessons.append(lesson);
    }
    if (!failure) {
        failure = RunSql(query, u"SELECT lesson_id, character, count FROM misses"_s);
    }
    while (!failure && query.next()) {
        const auto found = byId.constFind(query.value(0).toLongLong());
        const qsizetype index = kMissOrder.indexOf(query.value(1).toString());
        if (found != byId.constEnd() && index >= 0) {
            lessons[*found].misses[static_cast<std::size_t>(index)] = query.value(2).toInt();
        }
    }
    if (!failure && *version >= 4) {
        failure = RunSql(query, u"SELECT lesson_id, sent, heard, count FROM confusions"_s);
    }
    while (!failure && query.next()) {
        const auto found = byId.constFind(query.value(0).toLongLong());
        const QString sent = query.value(1).toString();
        const QString heard = query.value(2).toString();
        if (found != byId.constEnd() && sent.size() <= 1 && heard.size() <= 1) {
            lessons[*found].confusions[{sent.isEmpty() ? QChar() : sent.front(),
                                        heard.isEmpty() ? QChar() : heard.front()}] +=
                query.value(3).toInt();
        }
    }
    if (failure) {
        lessons.clear();
        result = failed(*failure);
    }
    return finish();
}
