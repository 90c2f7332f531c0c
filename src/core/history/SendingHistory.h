#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "core/history/HistoryStore.h"
#include "core/morse/FistReport.h"

// One sending practice as the history keeps it: when, which practice, what was keyed and how.
struct SendingSession {
    qint64 id = 0;         // the store's key; 0 before it is stored
    QDateTime finishedAt;  // UTC
    QString mode;          // the practice as its window names it
    int charactersKeyed = 0;
    std::optional<int> right;     // characters keyed right, where the practice judges them
    std::optional<int> tries;     // tries, where the practice counts them
    std::optional<double> score;  // percent, where the practice scores
    FistReport report;
};

// Stores a session in the lesson history's file, as HistoryStore::save stores lessons.
HistoryStore::Outcome SaveSendingSession(HistoryStore& store, const SendingSession& session);

// The newest sessions of the local days from fromDay on (all days when empty), at most limit of
// them, oldest first. A missing file, or one an older program made, has none.
QList<SendingSession> ReadSendingSessions(const QString& path, const QString& fromDay, int limit,
                                          HistoryStore::Outcome* outcome = nullptr);
