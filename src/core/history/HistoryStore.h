#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "core/history/HistoryDatabase.h"
#include "core/history/LessonRecord.h"

// The lesson history: an SQLite database (through Qt SQL) that is created on first use and
// migrated to the current schema when an older program made it. Every call opens the file
// afresh and closes it again, so two trainers on one machine share it; lessons are written in
// one transaction. Nothing here throws or asks the user: failures come back as text.
class HistoryStore {
  public:
    static constexpr int kSchemaVersion = kHistorySchemaVersion;

    // How long a write waits for another program's transaction before it gives up.
    explicit HistoryStore(QString path, int busyTimeoutMs = 2000);

    // "history.sqlite" in the per-user data folder the trainer and the partner share.
    static QString DefaultPath();

    struct Outcome {
        bool ok = false;
        HistoryFault fault = HistoryFault::Other;  // when not ok
        QString error;                             // why not, in Japanese, for the user
        QString keptAside;  // where a corrupt file was moved before a new one was made

        static Outcome Ok() {
            Outcome outcome;
            outcome.ok = true;
            return outcome;
        }
    };

    // Stores lessons, all or none; a corrupt file is moved aside and a new one made for them.
    Outcome save(const QList<LessonRecord>& lessons);
    Outcome save(const LessonRecord& lesson) { return save(QList<LessonRecord>{lesson}); }
    // Stores what insert writes in the same way: one transaction on the current schema.
    using Inserter = std::function<std::optional<QSqlError>(QSqlQuery&)>;
    Outcome saveWith(const Inserter& insert);

    // Every stored lesson, oldest first. A missing file is an empty history; a corrupt one is
    // reported and left where it is.
    QList<LessonRecord> load(Outcome* outcome = nullptr) const;

    // Reads every page of the file, as a damaged one shows nowhere else until it is read. A
    // missing file is sound. Safe from another thread: it opens a connection of its own.
    Outcome checkIntegrity() const;

    // Moves the file (and a journal beside it) aside as "history.sqlite.corrupt-<date>", so
    // that the next lesson begins a new one; the new name, or empty when it could not be moved.
    QString setAside() const;

    // The most pages the file may grow to (0: no limit), as a full disk would stop it.
    void setMaxPageCount(int pages) { m_maxPageCount = pages; }
    void setBusyTimeoutMs(int ms) { m_busyTimeoutMs = ms; }

    const QString& path() const { return m_path; }
    int busyTimeoutMs() const { return m_busyTimeoutMs; }

  private:
    Outcome failed(const QSqlError& error) const;

    QString m_path;
    int m_busyTimeoutMs;
    int m_maxPageCount = 0;
};
