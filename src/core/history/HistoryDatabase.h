#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <optional>

#include "core/morse/FreeSpeed.h"

class QSqlQuery;

// What the store and its readers share: one connection to the file, the schema and its
// migrations, and what an SQLite failure means for the user.

inline constexpr int kHistorySchemaVersion = 10;

// One connection of this process to the file, removed again when it goes.
class HistoryConnection {
  public:
    struct Options {
        int busyTimeoutMs = 2000;  // how long to wait for another program's transaction
        bool readOnly = false;     // never create or change the file
        int maxPageCount = 0;      // the most pages the file may grow to (0: no limit)
    };

    HistoryConnection(const QString& path, const Options& options);
    ~HistoryConnection();
    HistoryConnection(const HistoryConnection&) = delete;
    HistoryConnection& operator=(const HistoryConnection&) = delete;

    bool opened() const { return m_opened; }
    const QSqlError& openError() const { return m_openError; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

  private:
    QString m_name;
    bool m_opened = false;
    QSqlError m_openError;
};

enum class HistoryFault { Busy, Corrupt, Full, Unwritable, Newer, Other };

HistoryFault FaultOf(const QSqlError& error);

// The failure a newer program's file gives: its schema is not ours to change.
QSqlError NewerFileError();

// Why a history failed, in Japanese, for the user.
QString FaultText(const QSqlError& error, const QString& path);

// Runs one statement; the failure, if any.
std::optional<QSqlError> RunSql(QSqlQuery& query, const QString& sql);

// The file's schema version (0: made but never written to), read through the query.
std::optional<int> SchemaVersion(QSqlQuery& query, QSqlError& error);

// Takes a file from the given version to the current one, inside the caller's transaction.
std::optional<QSqlError> MigrateSchema(QSqlQuery& query, int from);

// The columns of a lesson as LessonFromRow reads them, and with its misses after them as
// "A:2,K:1" (of the table named lessons).
QString LessonColumnsSql(bool withMisses);
struct LessonRecord;
LessonRecord LessonFromRow(const QSqlQuery& query, bool withMisses);

// The local calendar day a moment belongs to, as the history files it ("2026-12-08").
QString LocalDay(const QDateTime& at);

// The speed setting of a lesson as the running totals keep it, an SQL expression over the
// lessons' columns: "" at the three fixed speeds; for a speed of its own its character and
// effective WPM and extra word units, "20/10/0" (0 for an effective speed that stretches
// nothing, so that settings that sound the same are one).
QString SettingSql();
// A lesson's accuracy as an SQL expression over its row: a Step lesson's right answers of those
// played, a Normal lesson's copy; NULL for a lesson not scored. The lesson list sorts by it
// through an index on the same expression.
QString AccuracySql();
// The speed of its own such a setting names; nothing for "" or a setting out of range.
std::optional<FreeSpeed> FreeSpeedOfSetting(const QString& setting);
// The fixed speeds' "" first, then by character speed, effective speed and extra word space.
bool SettingBefore(const QString& a, const QString& b);
