#pragma once

#include <QList>
#include <QString>

#include "history/LessonRecord.h"

// The lesson history: an SQLite database (through Qt SQL) that is created on first use and
// migrated to the current schema when an older program made it. Every call opens the file
// afresh and closes it again, so two trainers on one machine share it; a lesson is written in
// one transaction. Nothing here throws or asks the user: failures come back as text.
class HistoryStore {
  public:
    static constexpr int kSchemaVersion = 2;

    // How long a write waits for another program's transaction before it gives up.
    explicit HistoryStore(QString path, int busyTimeoutMs = 2000);

    // "history.sqlite" in the per-user data folder the trainer and the partner share.
    static QString DefaultPath();

    struct Outcome {
        bool ok = false;
        QString error;      // why not, in Japanese, for the user
        QString keptAside;  // where a corrupt file was moved before a new one was made
    };

    // Stores one lesson; a corrupt file is moved aside and a new one made for it.
    Outcome save(const LessonRecord& lesson);

    // Every stored lesson, oldest first. A missing file is an empty history; a corrupt one is
    // reported and left where it is.
    QList<LessonRecord> load(Outcome* outcome = nullptr) const;

    const QString& path() const { return m_path; }

  private:
    QString m_path;
    int m_busyTimeoutMs;
};
