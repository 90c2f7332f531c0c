#include "core/history/HistoryDatabase.h"

#include <time.h>

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <map>
#include <tuple>

#include "core/history/HistoryStats.h"
#include "core/history/LessonRecord.h"
#include "core/kit/OwnFile.h"
#include "core/kit/SaveMessages.h"

using namespace Qt::StringLiterals;

namespace {

// One statement of a step of the schema, or work done in C++ where SQL would take long.
struct MigrationStatement {
    using Work = std::optional<QSqlError> (*)(QSqlQuery&);
    MigrationStatement(QString statement) : sql(std::move(statement)) {}
    MigrationStatement(Work work) : run(work) {}

    QString sql;
    Work run = nullptr;
};
using MigrationStep = QList<MigrationStatement>;

// How often each letter and digit came in the Step questions, per day, speed and (once the
// totals keep it) speed setting, added to day_characters. One pass over the questions: taking
// them apart in SQL copies the rest of a question for every character.
std::optional<QSqlError> CountAskedCharacters(QSqlQuery& query, bool bySetting) {
    using Key = std::tuple<QString, int, QString>;
    std::map<Key, std::array<int, 36>> totals;
    query.setForwardOnly(true);
    if (auto failure =
            RunSql(query, u"SELECT day, speed, "_s + (bySetting ? SettingSql() : u"''"_s) +
                              u", question FROM lessons WHERE mode = 'step'"_s)) {
        return failure;
    }
    while (query.next()) {
        std::array<int, 36>& counts =
            totals[{query.value(0).toString(), query.value(1).toInt(), query.value(2).toString()}];
        const std::array<int, 36> asked = AskedCounts(query.value(3).toString());
        for (std::size_t i = 0; i < asked.size(); ++i) {
            counts[i] += asked[i];
        }
    }
    if (query.lastError().isValid()) {
        return query.lastError();
    }
    query.finish();
    query.prepare(bySetting ? u"INSERT INTO day_characters VALUES (?, ?, ?, ?, ?, 0)"_s
                            : u"INSERT INTO day_characters VALUES (?, ?, ?, ?, 0)"_s);
    for (const auto& [key, counts] : totals) {
        for (std::size_t i = 0; i < counts.size(); ++i) {
            if (counts[i] == 0) {
                continue;
            }
            query.addBindValue(std::get<0>(key));
            query.addBindValue(std::get<1>(key));
            if (bySetting) {
                query.addBindValue(std::get<2>(key));
            }
            query.addBindValue(QString(kMissOrder[qsizetype(i)]));
            query.addBindValue(counts[i]);
            if (!query.exec()) {
                return query.lastError();
            }
        }
    }
    return std::nullopt;
}
std::optional<QSqlError> CountAskedByDay(QSqlQuery& query) {
    return CountAskedCharacters(query, false);
}
std::optional<QSqlError> CountAskedBySetting(QSqlQuery& query) {
    return CountAskedCharacters(query, true);
}

// The columns of a Normal lesson's copy score, unless the file has them already (a file a later
// program brought up to date, marked older again).
std::optional<QSqlError> AddCopyColumns(QSqlQuery& query) {
    if (!query.exec(u"SELECT 1 FROM pragma_table_info('lessons') WHERE name = 'copy_sent'"_s)) {
        return query.lastError();
    }
    if (query.next()) {
        return std::nullopt;
    }
    for (const QString& column : {u"copy_sent"_s, u"copy_right"_s}) {
        if (!query.exec(u"ALTER TABLE lessons ADD COLUMN %1 INTEGER"_s.arg(column))) {
            return query.lastError();
        }
    }
    return std::nullopt;
}

// The running totals made anew with the speed setting in their keys, and counted from the
// lessons as the store counts each new one.
MigrationStep TotalsBySetting() {
    const QString lessons = u"(SELECT *, "_s + SettingSql() + u" AS setting FROM lessons)"_s;
    return {
        u"DROP TABLE days"_s,
        u"DROP TABLE day_characters"_s,
        u"DROP TABLE day_confusions"_s,
        u"CREATE TABLE days (day TEXT NOT NULL, speed INTEGER NOT NULL, setting TEXT NOT NULL, "
        "lessons INTEGER NOT NULL, judged_lessons INTEGER NOT NULL, "
        "judged_played INTEGER NOT NULL, judged_correct INTEGER NOT NULL, "
        "PRIMARY KEY (day, speed, setting)) WITHOUT ROWID"_s,
        u"CREATE TABLE day_characters (day TEXT NOT NULL, speed INTEGER NOT NULL, "
        "setting TEXT NOT NULL, character TEXT NOT NULL, asked INTEGER NOT NULL, "
        "missed INTEGER NOT NULL, PRIMARY KEY (day, speed, setting, character)) WITHOUT ROWID"_s,
        u"CREATE TABLE day_confusions (day TEXT NOT NULL, speed INTEGER NOT NULL, "
        "setting TEXT NOT NULL, sent TEXT NOT NULL, heard TEXT NOT NULL, count INTEGER NOT NULL, "
        "PRIMARY KEY (day, speed, setting, sent, heard)) WITHOUT ROWID"_s,
        u"INSERT INTO days SELECT day, speed, setting, COUNT(*), TOTAL(judged), "
        "TOTAL(judged * played), TOTAL(judged * MIN(correct, played)) FROM (SELECT *, "
        "(mode = 'step' AND correct IS NOT NULL AND played > 0) AS judged FROM "_s +
            lessons + u") GROUP BY day, speed, setting"_s,
        &CountAskedBySetting,
        u"INSERT INTO day_characters SELECT l.day, l.speed, l.setting, m.character, 0, "
        "SUM(m.count) FROM misses m JOIN "_s +
            lessons +
            u" l ON l.id = m.lesson_id WHERE l.mode = 'step' "
            "GROUP BY l.day, l.speed, l.setting, m.character "
            "ON CONFLICT (day, speed, setting, character) DO UPDATE SET missed = excluded.missed"_s,
        u"INSERT INTO day_confusions SELECT l.day, l.speed, l.setting, c.sent, c.heard, "
        "SUM(c.count) FROM confusions c JOIN "_s +
            lessons +
            u" l ON l.id = c.lesson_id GROUP BY l.day, l.speed, l.setting, c.sent, c.heard"_s,
    };
}

// The copy scores of the Normal lessons added to the running totals, counted from each lesson's
// pairs (a Normal lesson has pairs only from its copy).
MigrationStep CopyTotals() {
    return {
        u"CREATE TABLE days_with_copies (day TEXT NOT NULL, speed INTEGER NOT NULL, "
        "setting TEXT NOT NULL, lessons INTEGER NOT NULL, judged_lessons INTEGER NOT NULL, "
        "judged_played INTEGER NOT NULL, judged_correct INTEGER NOT NULL, "
        "copy_lessons INTEGER NOT NULL DEFAULT 0, copy_sent INTEGER NOT NULL DEFAULT 0, "
        "copy_right INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (day, speed, setting)) WITHOUT ROWID"_s,
        u"INSERT INTO days_with_copies (day, speed, setting, lessons, judged_lessons, "
        "judged_played, judged_correct) SELECT day, speed, setting, lessons, judged_lessons, "
        "judged_played, judged_correct FROM days"_s,
        u"DROP TABLE days"_s,
        u"ALTER TABLE days_with_copies RENAME TO days"_s,
        u"INSERT INTO days SELECT day, speed, setting, 0, 0, 0, 0, COUNT(*), TOTAL(sent_count), "
        "TOTAL(right_count) FROM (SELECT l.day, l.speed, "_s +
            SettingSql() +
            u" AS setting, TOTAL(c.count) AS sent_count, "
            "TOTAL(CASE WHEN c.sent = c.heard THEN c.count ELSE 0 END) AS right_count "
            "FROM lessons l JOIN confusions c ON c.lesson_id = l.id "
            "WHERE l.mode = 'normal' AND c.sent <> '' GROUP BY l.id) "
            "GROUP BY day, speed, setting ON CONFLICT (day, speed, setting) DO UPDATE SET "
            "copy_lessons = excluded.copy_lessons, copy_sent = excluded.copy_sent, "
            "copy_right = excluded.copy_right"_s,
        // The band filter counts and lists lessons by it.
        u"CREATE INDEX IF NOT EXISTS lessons_by_band ON lessons(band, day)"_s,
        // The pairs over every day, which the window shows first: summing them per day reads
        // hundreds of rows for each day of a long history. Counted afresh from the days'.
        u"DROP TABLE IF EXISTS confusion_totals"_s,
        u"CREATE TABLE confusion_totals (speed INTEGER NOT NULL, setting TEXT NOT NULL, "
        "sent TEXT NOT NULL, heard TEXT NOT NULL, count INTEGER NOT NULL, "
        "PRIMARY KEY (speed, setting, sent, heard)) WITHOUT ROWID"_s,
        u"INSERT INTO confusion_totals SELECT speed, setting, sent, heard, SUM(count) "
        "FROM day_confusions GROUP BY speed, setting, sent, heard"_s,
    };
}

// The schema, step by step: step n takes a database from version n to n + 1. Version 1 kept
// the lessons and their misses; version 2 keeps each question's text, which the miss rates
// count characters in, and indexes the lessons by time. Version 3 keeps the fine adjustment
// as the change of speed the main window shows (the opposite sign of the value kept before),
// files each lesson under its local day, and keeps running totals per day and speed, so that
// the window's figures never need to read every lesson. Version 4 keeps what was heard for
// what was sent, per lesson and in running totals per day and speed (no older lesson has any).
// Version 5 keeps the figures of a speed of its own; the speed column then holds the nearest of
// the three. Version 6 keeps the band conditions each lesson was heard under and their seed.
// Version 7 keeps the running totals per day, speed and speed setting, so that a speed of its own
// is told apart from the fixed speed nearest to it; they are counted afresh from the lessons.
// Version 8 keeps the sending practices beside the lessons, each with its fist report: the
// figures, the signs furthest off and the histograms' bins. Version 9 keeps the copy scores of
// the Normal lessons in the running totals beside the Step answers, and indexes the lessons by
// their band conditions, and keeps the pairs' totals over every day.
QList<MigrationStep> Migrations() {
    return {
        {u"CREATE TABLE lessons (id INTEGER PRIMARY KEY, finished_at TEXT NOT NULL, "
         "peer TEXT NOT NULL, mode TEXT NOT NULL, speed INTEGER NOT NULL, "
         "fine_adjust INTEGER NOT NULL, sound TEXT NOT NULL, played INTEGER NOT NULL, "
         "correct INTEGER)"_s,
         u"CREATE TABLE misses (lesson_id INTEGER NOT NULL REFERENCES lessons(id) "
         "ON DELETE CASCADE, character TEXT NOT NULL, count INTEGER NOT NULL, "
         "PRIMARY KEY (lesson_id, character))"_s},
        {u"ALTER TABLE lessons ADD COLUMN question TEXT NOT NULL DEFAULT ''"_s,
         u"CREATE INDEX lessons_by_time ON lessons(finished_at)"_s},
        {u"UPDATE lessons SET fine_adjust = -fine_adjust"_s,
         u"ALTER TABLE lessons ADD COLUMN day TEXT NOT NULL DEFAULT ''"_s,
         u"UPDATE lessons SET day = date(finished_at, 'localtime')"_s,
         u"CREATE INDEX lessons_by_day ON lessons(day, speed)"_s,
         u"CREATE TABLE days (day TEXT NOT NULL, speed INTEGER NOT NULL, "
         "lessons INTEGER NOT NULL, judged_lessons INTEGER NOT NULL, "
         "judged_played INTEGER NOT NULL, "
         "judged_correct INTEGER NOT NULL, PRIMARY KEY (day, speed)) WITHOUT ROWID"_s,
         u"CREATE TABLE day_characters (day TEXT NOT NULL, speed INTEGER NOT NULL, "
         "character TEXT NOT NULL, asked INTEGER NOT NULL, missed INTEGER NOT NULL, "
         "PRIMARY KEY (day, speed, character)) WITHOUT ROWID"_s,
         u"INSERT INTO days SELECT day, speed, COUNT(*), TOTAL(judged), TOTAL(judged * played), "
         "TOTAL(judged * MIN(correct, played)) FROM (SELECT *, (mode = 'step' AND "
         "correct IS NOT NULL AND played > 0) AS judged FROM lessons) GROUP BY day, speed"_s,
         &CountAskedByDay,
         u"INSERT INTO day_characters SELECT l.day, l.speed, m.character, 0, SUM(m.count) "
         "FROM misses m JOIN lessons l ON l.id = m.lesson_id WHERE l.mode = 'step' "
         "GROUP BY l.day, l.speed, m.character "
         "ON CONFLICT (day, speed, character) DO UPDATE SET missed = excluded.missed"_s},
        {u"CREATE TABLE confusions (lesson_id INTEGER NOT NULL REFERENCES lessons(id) "
         "ON DELETE CASCADE, sent TEXT NOT NULL, heard TEXT NOT NULL, count INTEGER NOT NULL, "
         "PRIMARY KEY (lesson_id, sent, heard)) WITHOUT ROWID"_s,
         u"CREATE TABLE day_confusions (day TEXT NOT NULL, speed INTEGER NOT NULL, "
         "sent TEXT NOT NULL, heard TEXT NOT NULL, count INTEGER NOT NULL, "
         "PRIMARY KEY (day, speed, sent, heard)) WITHOUT ROWID"_s},
        // A lesson at a speed of its own: its figures (none for the three fixed speeds).
        {u"ALTER TABLE lessons ADD COLUMN character_wpm REAL"_s,
         u"ALTER TABLE lessons ADD COLUMN effective_wpm REAL"_s,
         u"ALTER TABLE lessons ADD COLUMN extra_word_units REAL"_s},
        {u"ALTER TABLE lessons ADD COLUMN band TEXT NOT NULL DEFAULT ''"_s,
         u"ALTER TABLE lessons ADD COLUMN band_seed INTEGER"_s},
        TotalsBySetting(),
        {u"CREATE TABLE IF NOT EXISTS sending_sessions (id INTEGER PRIMARY KEY, finished_at TEXT "
         u"NOT NULL, "
         "day TEXT NOT NULL, mode TEXT NOT NULL, characters INTEGER NOT NULL, "
         "right_count INTEGER, tries INTEGER, score REAL, wpm REAL NOT NULL, "
         "dot_ms REAL NOT NULL, dots INTEGER NOT NULL, dot_units REAL NOT NULL, "
         "dot_spread REAL NOT NULL, dashes INTEGER NOT NULL, dash_units REAL NOT NULL, "
         "dash_spread REAL NOT NULL, element_gaps INTEGER NOT NULL, "
         "element_gap_units REAL NOT NULL, element_gap_spread REAL NOT NULL, "
         "character_gaps INTEGER NOT NULL, character_gap_units REAL NOT NULL, "
         "character_gap_spread REAL NOT NULL, word_gaps INTEGER NOT NULL, "
         "word_gap_units REAL NOT NULL, word_gap_spread REAL NOT NULL, "
         "furthest_off TEXT NOT NULL, mark_bins TEXT NOT NULL, gap_bins TEXT NOT NULL)"_s,
         u"CREATE INDEX IF NOT EXISTS sending_sessions_by_day ON sending_sessions(day, finished_at)"_s},
        CopyTotals(),
        // A Normal lesson's copy score in columns of its own, so that the list sorts by it
        // without reading every lesson's pairs: of the characters sent, those heard right (NULL
        // when nothing was copied, and for a Step lesson).
        {&AddCopyColumns,
         u"UPDATE lessons SET copy_sent = (SELECT SUM(count) FROM confusions "
         "WHERE lesson_id = lessons.id AND sent <> ''), copy_right = (SELECT "
         "SUM(CASE WHEN sent = heard THEN count ELSE 0 END) FROM confusions "
         "WHERE lesson_id = lessons.id AND sent <> '') WHERE mode = 'normal'"_s,
         // The list sorted by accuracy is read in the index's order, a page at a time.
         u"CREATE INDEX IF NOT EXISTS lessons_by_accuracy ON lessons("_s + AccuracySql() +
             u" IS NULL, "_s + AccuracySql() + u", id)"_s},
    };
}

QChar PairCharacter(const QString& text) {
    return text.size() == 1 ? text.front() : QChar();
}

ConfusionCounts ConfusionsFromText(const QString& text) {
    ConfusionCounts counts;
    for (const QString& entry : text.split(QChar(30), Qt::SkipEmptyParts)) {
        const QStringList fields = entry.split(QChar(31));
        if (fields.size() == 3 && fields[2].toInt() > 0) {
            counts[{PairCharacter(fields[0]), PairCharacter(fields[1])}] += fields[2].toInt();
        }
    }
    return counts;
}

bool CodeIs(const QSqlError& error, std::initializer_list<int> codes) {
    // The primary result code is the low byte of an extended one.
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// A history file as SQLite leaves it: empty (SQLite begins a new one in it), or a database
// that a program has given a schema version.
bool IsHistoryHeader(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return true;
    }
    constexpr QByteArrayView kMagic("SQLite format 3\0", 16);
    constexpr qsizetype kUserVersionAt = 60;
    return bytes.startsWith(kMagic) && bytes.size() >= kUserVersionAt + 4 &&
           qFromBigEndian<quint32>(bytes.constData() + kUserVersionAt) > 0;
}

const OwnFile::Kind kHistoryFile{0, 100, nullptr, IsHistoryHeader};
const QString kRefused = u"refused"_s;
const QString kMissingTable = u"missing table"_s;

// The tables a file of each version has, by the version that made them.
const std::pair<int, QString> kTablesSince[] = {
    {1, u"lessons"_s},          {1, u"misses"_s},           {3, u"days"_s},
    {3, u"day_characters"_s},   {4, u"confusions"_s},       {4, u"day_confusions"_s},
    {8, u"sending_sessions"_s}, {9, u"confusion_totals"_s},
};

// Why the file was not opened, as the store's other faults are told: a phrase that names it.
QString RefusalText(const OwnFile::Access& access, const QString& path) {
    return u"%1: %2"_s.arg(QDir::toNativeSeparators(path),
                           SaveMessages::Why(access, u"成績履歴のファイル"_s).chopped(1));
}

}  // namespace

HistoryConnection::HistoryConnection(const QString& path, const Options& options) {
    static std::atomic<int> serial{0};
    m_name = u"history-%1"_s.arg(serial.fetch_add(1));
    // SQLite would wait on a FIFO, and write into whatever file a link leads to.
    const OwnFile::Access access =
        OwnFile::Check(path, options.readOnly ? OwnFile::Kind{} : kHistoryFile);
    if (!access.allowed()) {
        m_openError =
            QSqlError(RefusalText(access, path), {}, QSqlError::ConnectionError, kRefused);
        return;
    }
    QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    database.setDatabaseName(path);
    QString connectOptions = u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(options.busyTimeoutMs);
    if (options.readOnly) {
        connectOptions += u";QSQLITE_OPEN_READONLY"_s;
    }
    database.setConnectOptions(connectOptions);
    m_opened = database.open();
    m_openError = database.lastError();
    if (m_opened && options.maxPageCount > 0) {
        QSqlQuery query(database);
        RunSql(query, u"PRAGMA max_page_count = %1"_s.arg(options.maxPageCount));
    }
}

HistoryConnection::~HistoryConnection() {
    {
        QSqlDatabase database = QSqlDatabase::database(m_name, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

HistoryFault FaultOf(const QSqlError& error) {
    if (error.nativeErrorCode() == u"newer"_s) {
        return HistoryFault::Newer;
    }
    if (error.nativeErrorCode() == kRefused) {
        return HistoryFault::Unwritable;
    }
    if (CodeIs(error, {5, 6})) {  // SQLITE_BUSY, SQLITE_LOCKED
        return HistoryFault::Busy;
    }
    if (error.nativeErrorCode() == kMissingTable || CodeIs(error, {11, 26})) {
        // SQLITE_CORRUPT, SQLITE_NOTADB
        return HistoryFault::Corrupt;
    }
    if (CodeIs(error, {13})) {  // SQLITE_FULL
        return HistoryFault::Full;
    }
    if (CodeIs(error, {8, 14})) {  // SQLITE_READONLY, SQLITE_CANTOPEN
        return HistoryFault::Unwritable;
    }
    return HistoryFault::Other;
}

QSqlError NewerFileError() {
    return QSqlError(u"newer"_s, {}, QSqlError::UnknownError, u"newer"_s);
}

QString FaultText(const QSqlError& error, const QString& path) {
    switch (FaultOf(error)) {
        case HistoryFault::Newer:
            return u"より新しい版のプログラムが作ったファイルです"_s;
        case HistoryFault::Busy:
            return u"ほかのプログラムが使用中です"_s;
        case HistoryFault::Corrupt:
            if (error.nativeErrorCode() == kMissingTable) {
                return u"ファイルが壊れています（成績履歴の表 %1 がありません）"_s.arg(
                    error.driverText());
            }
            return u"ファイルが壊れています"_s;
        case HistoryFault::Full:
            return u"ディスクがいっぱいです"_s;
        case HistoryFault::Unwritable:
            if (error.nativeErrorCode() == kRefused) {
                return error.driverText();
            }
            return u"%1 に書き込めません"_s.arg(QDir::toNativeSeparators(path));
        case HistoryFault::Other:
            break;
    }
    if (CodeIs(error, {10})) {  // SQLITE_IOERR
        return u"ディスクの読み書きに失敗しました"_s;
    }
    if (!QFileInfo(QFileInfo(path).path()).isWritable()) {
        return u"%1 に書き込めません"_s.arg(QDir::toNativeSeparators(path));
    }
    // SQLite's own words are English: they follow the number for whoever reads the log.
    return u"データベースのエラー %1"_s.arg(error.nativeErrorCode());
}

std::optional<QSqlError> RunSql(QSqlQuery& query, const QString& sql) {
    if (!query.exec(sql)) {
        return query.lastError();
    }
    return std::nullopt;
}

std::optional<int> SchemaVersion(QSqlQuery& query, QSqlError& error) {
    if (auto failure = RunSql(query, u"PRAGMA user_version"_s)) {
        error = *failure;
        return std::nullopt;
    }
    const int version = query.next() ? query.value(0).toInt() : 0;
    query.finish();
    // A file that names a version but lacks its tables would fail later with no reason at all.
    if (version <= 0 || version > kHistorySchemaVersion) {
        return version;
    }
    if (auto failure = RunSql(query, u"SELECT name FROM sqlite_master WHERE type = 'table'"_s)) {
        error = *failure;
        return std::nullopt;
    }
    QStringList present;
    while (query.next()) {
        present << query.value(0).toString();
    }
    query.finish();
    for (const auto& [since, table] : kTablesSince) {
        if (version >= since && !present.contains(table)) {
            error = QSqlError(table, {}, QSqlError::UnknownError, kMissingTable);
            return std::nullopt;
        }
    }
    return version;
}

std::optional<QSqlError> MigrateSchema(QSqlQuery& query, int from) {
    // SQLite's local days follow the C library's idea of the time zone: read it afresh.
    ::tzset();
    const QList<MigrationStep> steps = Migrations();
    for (int version = from; version < steps.size(); ++version) {
        for (const MigrationStatement& statement : steps[version]) {
            if (auto failure =
                    statement.run ? statement.run(query) : RunSql(query, statement.sql)) {
                return failure;
            }
        }
    }
    return RunSql(query, u"PRAGMA user_version = %1"_s.arg(kHistorySchemaVersion));
}

QString LessonColumnsSql(bool withMisses) {
    QString columns =
        u"id, finished_at, peer, mode, speed, fine_adjust, sound, played, correct, question, "
        "character_wpm, effective_wpm, extra_word_units, band, band_seed"_s;
    if (withMisses) {
        columns +=
            u", (SELECT group_concat(character || ':' || count) FROM misses "
            "WHERE lesson_id = lessons.id), "
            "(SELECT group_concat(sent || char(31) || heard || char(31) || count, char(30)) "
            "FROM confusions WHERE lesson_id = lessons.id)"_s;
    }
    return columns;
}

LessonRecord LessonFromRow(const QSqlQuery& query, bool withMisses) {
    LessonRecord lesson;
    lesson.id = query.value(0).toLongLong();
    lesson.finishedAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
    lesson.peer = query.value(2).toString();
    lesson.mode = ModeNamed(query.value(3).toString());
    lesson.speed = query.value(4).toInt();
    lesson.fineAdjust = query.value(5).toInt();
    lesson.sound = query.value(6).toString();
    lesson.played = query.value(7).toInt();
    if (!query.value(8).isNull()) {
        lesson.correct = query.value(8).toInt();
    }
    lesson.question = query.value(9).toString();
    if (!query.value(10).isNull()) {
        const FreeSpeed speed{query.value(10).toDouble(), query.value(11).toDouble(),
                              query.value(12).toDouble()};
        // A file changed by hand may hold anything: figures out of range are not shown as a speed.
        if (speed.isValid()) {
            lesson.freeSpeed = speed;
        }
    }
    lesson.band = query.value(13).toString();
    if (!query.value(14).isNull()) {
        lesson.bandSeed = static_cast<quint64>(query.value(14).toLongLong());
    }
    if (withMisses) {
        for (const QString& entry : query.value(15).toString().split(u',', Qt::SkipEmptyParts)) {
            const qsizetype index = kMissOrder.indexOf(entry.section(u':', 0, 0));
            if (index >= 0) {
                lesson.misses[std::size_t(index)] = entry.section(u':', 1).toInt();
            }
        }
        lesson.confusions = ConfusionsFromText(query.value(16).toString());
    }
    return lesson;
}

QString LocalDay(const QDateTime& at) {
    return at.toLocalTime().date().toString(Qt::ISODate);
}

QString AccuracySql() {
    return u"(CASE WHEN mode = 'step' THEN (CASE WHEN played > 0 "
           "THEN MIN(correct, played) * 1.0 / played END) "
           "ELSE copy_right * 1.0 / copy_sent END)"_s;
}

QString SettingSql() {
    // printf's %g writes 20.0 as "20" and 12.5 as "12.5".
    return u"(CASE WHEN character_wpm IS NULL THEN '' ELSE printf('%g/%g/%g', character_wpm, "
           "CASE WHEN effective_wpm > 0 AND effective_wpm < character_wpm THEN effective_wpm "
           "ELSE 0 END, extra_word_units) END)"_s;
}

std::optional<FreeSpeed> FreeSpeedOfSetting(const QString& setting) {
    const QStringList figures = setting.split(u'/');
    if (figures.size() != 3) {
        return std::nullopt;
    }
    bool ok[3] = {};
    const FreeSpeed speed{figures[0].toDouble(&ok[0]), figures[1].toDouble(&ok[1]),
                          figures[2].toDouble(&ok[2])};
    if (!ok[0] || !ok[1] || !ok[2] || !speed.isValid()) {
        return std::nullopt;
    }
    return speed;
}

bool SettingBefore(const QString& a, const QString& b) {
    const auto key = [](const QString& setting) {
        const std::optional<FreeSpeed> speed = FreeSpeedOfSetting(setting);
        return speed ? std::tuple(true, speed->characterWpm, speed->effectiveWpm,
                                  speed->extraWordUnits, setting)
                     : std::tuple(false, 0.0, 0.0, 0.0, setting);
    };
    return key(a) < key(b);
}
