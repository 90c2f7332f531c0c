#include "history/HistoryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <atomic>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// SQLite's result codes that mean the file is not a usable database.
bool IsCorrupt(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == u"11"_s || code == u"26"_s;
}

bool IsBusy(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == u"5"_s || code == u"6"_s;
}

// The schema, step by step: step n takes a database from version n to n + 1. Version 1 kept
// the lessons and their misses; version 2 keeps each question's text, which the miss rates
// count characters in, and indexes the lessons by time.
const QList<QStringList>& Migrations() {
    static const QList<QStringList> steps{
        {u"CREATE TABLE lessons (id INTEGER PRIMARY KEY, finished_at TEXT NOT NULL, "
         "peer TEXT NOT NULL, mode TEXT NOT NULL, speed INTEGER NOT NULL, "
         "fine_adjust INTEGER NOT NULL, sound TEXT NOT NULL, played INTEGER NOT NULL, "
         "correct INTEGER)"_s,
         u"CREATE TABLE misses (lesson_id INTEGER NOT NULL REFERENCES lessons(id) "
         "ON DELETE CASCADE, character TEXT NOT NULL, count INTEGER NOT NULL, "
         "PRIMARY KEY (lesson_id, character))"_s},
        {u"ALTER TABLE lessons ADD COLUMN question TEXT NOT NULL DEFAULT ''"_s,
         u"CREATE INDEX lessons_by_time ON lessons(finished_at)"_s},
    };
    return steps;
}

// One connection of this process to the file, removed again when it goes.
class Connection {
  public:
    Connection(const QString& path, int busyTimeoutMs) {
        static std::atomic<int> serial{0};
        m_name = u"history-%1"_s.arg(serial.fetch_add(1));
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        database.setDatabaseName(path);
        database.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(busyTimeoutMs));
        m_opened = database.open();
        m_openError = database.lastError();
    }
    ~Connection() {
        {
            QSqlDatabase database = QSqlDatabase::database(m_name, false);
            database.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool opened() const { return m_opened; }
    const QSqlError& openError() const { return m_openError; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

  private:
    QString m_name;
    bool m_opened = false;
    QSqlError m_openError;
};

struct Failure {
    QSqlError error;
};

// Runs one statement; the failure, if any.
std::optional<Failure> Run(QSqlQuery& query, const QString& sql) {
    if (!query.exec(sql)) {
        return Failure{query.lastError()};
    }
    return std::nullopt;
}

std::optional<Failure> Migrate(QSqlQuery& query, int from) {
    const QList<QStringList>& steps = Migrations();
    for (int version = from; version < steps.size(); ++version) {
        for (const QString& statement : steps[version]) {
            if (auto failure = Run(query, statement)) {
                return failure;
            }
        }
    }
    return Run(query, u"PRAGMA user_version = %1"_s.arg(HistoryStore::kSchemaVersion));
}

QString ModeName(LessonRecord::Mode mode) {
    return mode == LessonRecord::Mode::Step ? u"step"_s : u"normal"_s;
}

std::optional<Failure> Insert(QSqlQuery& query, const LessonRecord& lesson) {
    query.prepare(
        u"INSERT INTO lessons (finished_at, peer, mode, speed, fine_adjust, sound, played, "
        "correct, question) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    query.addBindValue(lesson.finishedAt.toUTC().toString(Qt::ISODateWithMs));
    query.addBindValue(lesson.peer);
    query.addBindValue(ModeName(lesson.mode));
    query.addBindValue(lesson.speed);
    query.addBindValue(lesson.fineAdjust);
    query.addBindValue(lesson.sound);
    query.addBindValue(lesson.played);
    query.addBindValue(lesson.correct ? QVariant(*lesson.correct) : QVariant());
    query.addBindValue(lesson.question);
    if (!query.exec()) {
        return Failure{query.lastError()};
    }
    const QVariant id = query.lastInsertId();
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
            return Failure{query.lastError()};
        }
    }
    return std::nullopt;
}

enum class Written { Ok, Corrupt, Failed };

// Brings the file to the current schema and adds the lesson, all in one transaction.
Written Write(const QString& path, int busyTimeoutMs, const LessonRecord& lesson,
              QSqlError& error) {
    const Connection connection(path, busyTimeoutMs);
    if (!connection.opened()) {
        error = connection.openError();
        return IsCorrupt(error) ? Written::Corrupt : Written::Failed;
    }
    QSqlQuery query(connection.database());
    std::optional<Failure> failure = Run(query, u"BEGIN IMMEDIATE"_s);
    int version = 0;
    if (!failure) {
        failure = Run(query, u"PRAGMA user_version"_s);
        if (!failure && query.next()) {
            version = query.value(0).toInt();
        }
    }
    if (!failure && version > HistoryStore::kSchemaVersion) {
        Run(query, u"ROLLBACK"_s);
        error = QSqlError(u"newer"_s, {}, QSqlError::UnknownError, u"newer"_s);
        return Written::Failed;
    }
    if (!failure && version < HistoryStore::kSchemaVersion) {
        failure = Migrate(query, version);
    }
    if (!failure) {
        failure = Insert(query, lesson);
    }
    if (!failure) {
        failure = Run(query, u"COMMIT"_s);
    }
    if (failure) {
        error = failure->error;
        Run(query, u"ROLLBACK"_s);
        return IsCorrupt(error) ? Written::Corrupt : Written::Failed;
    }
    return Written::Ok;
}

// "history.sqlite.corrupt-20261208-051500" (with a number after it if that is taken).
QString MoveAside(const QString& path) {
    const QString stem =
        path + u".corrupt-"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside = stem + u'-' + QString::number(n);
    }
    if (!QFile::rename(path, aside)) {
        return {};
    }
    // A journal left beside it belongs to the old file, never to the new one.
    const QString journal = path + u"-journal"_s;
    if (QFileInfo::exists(journal)) {
        QFile::rename(journal, aside + u"-journal"_s);
    }
    return aside;
}

QString Reason(const QSqlError& error, const QString& path) {
    if (error.nativeErrorCode() == u"newer"_s) {
        return u"より新しい版のプログラムが作ったファイルです"_s;
    }
    if (IsBusy(error)) {
        return u"ほかのプログラムが使用中です"_s;
    }
    if (IsCorrupt(error)) {
        return u"ファイルが壊れています"_s;
    }
    const QString code = error.nativeErrorCode();
    if (code == u"8"_s || code == u"14"_s || !QFileInfo(QFileInfo(path).path()).isWritable()) {
        return u"%1 に書き込めません"_s.arg(QDir::toNativeSeparators(path));
    }
    return error.text().trimmed();
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

HistoryStore::Outcome HistoryStore::save(const LessonRecord& lesson) {
    Outcome outcome;
    if (!QDir().mkpath(QFileInfo(m_path).path())) {
        outcome.error =
            u"%1 を作れません"_s.arg(QDir::toNativeSeparators(QFileInfo(m_path).path()));
        return outcome;
    }
    QSqlError error;
    Written written = Write(m_path, m_busyTimeoutMs, lesson, error);
    if (written == Written::Corrupt) {
        outcome.keptAside = MoveAside(m_path);
        if (outcome.keptAside.isEmpty()) {
            outcome.error = Reason(error, m_path);
            return outcome;
        }
        written = Write(m_path, m_busyTimeoutMs, lesson, error);
    }
    outcome.ok = written == Written::Ok;
    if (!outcome.ok) {
        outcome.error = Reason(error, m_path);
    }
    return outcome;
}

QList<LessonRecord> HistoryStore::load(Outcome* outcome) const {
    Outcome result;
    QList<LessonRecord> lessons;
    const auto finish = [&] {
        if (outcome != nullptr) {
            *outcome = result;
        }
        return lessons;
    };
    if (!QFileInfo::exists(m_path)) {
        result.ok = true;
        return finish();
    }
    const Connection connection(m_path, m_busyTimeoutMs);
    if (!connection.opened()) {
        result.error = Reason(connection.openError(), m_path);
        return finish();
    }
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    std::optional<Failure> failure = Run(query, u"PRAGMA user_version"_s);
    const int version = !failure && query.next() ? query.value(0).toInt() : 0;
    if (!failure && version == 0) {
        result.ok = true;  // made but never written to
        return finish();
    }
    const QString question = version >= 2 ? u"question"_s : u"''"_s;
    QMap<qint64, qsizetype> byId;
    if (!failure) {
        failure = Run(query,
                      u"SELECT id, finished_at, peer, mode, speed, fine_adjust, sound, "
                      "played, correct, %1 FROM lessons ORDER BY finished_at, id"_s.arg(question));
    }
    while (!failure && query.next()) {
        LessonRecord lesson;
        lesson.id = query.value(0).toLongLong();
        lesson.finishedAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
        lesson.peer = query.value(2).toString();
        lesson.mode = query.value(3).toString() == u"normal"_s ? LessonRecord::Mode::Normal
                                                               : LessonRecord::Mode::Step;
        lesson.speed = query.value(4).toInt();
        lesson.fineAdjust = query.value(5).toInt();
        lesson.sound = query.value(6).toString();
        lesson.played = query.value(7).toInt();
        if (!query.value(8).isNull()) {
            lesson.correct = query.value(8).toInt();
        }
        lesson.question = query.value(9).toString();
        byId.insert(lesson.id, lessons.size());
        lessons.append(lesson);
    }
    if (!failure) {
        failure = Run(query, u"SELECT lesson_id, character, count FROM misses"_s);
    }
    while (!failure && query.next()) {
        const auto found = byId.constFind(query.value(0).toLongLong());
        const qsizetype index = kMissOrder.indexOf(query.value(1).toString());
        if (found != byId.constEnd() && index >= 0) {
            lessons[*found].misses[static_cast<std::size_t>(index)] = query.value(2).toInt();
        }
    }
    if (failure) {
        lessons.clear();
        result.error = Reason(failure->error, m_path);
    } else {
        result.ok = true;
    }
    return finish();
}
