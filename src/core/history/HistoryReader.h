#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "core/history/HistoryStats.h"
#include "core/history/HistoryStore.h"

class HistoryConnection;
class QSqlQuery;

// Which lessons the history window shows: those of the local days from fromDay on, at one
// speed or all, at one speed setting or all.
struct HistoryFilter {
    QString fromDay;  // "2026-12-01"; empty: from the first lesson on
    std::optional<int> speed;
    // With band conditions or without; the lesson list and its count only, as the figures are
    // kept per day and speed.
    std::optional<bool> band;
    // "" the fixed speeds only, or one speed of its own (as SettingSql names it).
    std::optional<QString> setting = std::nullopt;

    // The days of the period before now's local day and that day itself (0 days: all of them).
    static HistoryFilter Last(int days, std::optional<int> speed, const QDateTime& now);
};

// The judged Step lessons of one day at one speed, taken together, or the copied Normal ones.
struct DayAccuracy {
    QDate day;
    int speed = 0;
    QString setting;  // "" at the fixed speed, or the speed of its own
    int lessons = 0;
    double percent = 0;  // characters right ÷ characters played (or sent, of a copy) × 100
    bool copy = false;   // the copy scores of Normal lessons
};

// One column of the lesson list, ascending or not.
struct LessonOrder {
    int column = 0;  // a LessonColumn
    Qt::SortOrder order = Qt::DescendingOrder;
};

// Reads the history for the window and the partner's drill, however long it is: the figures
// come from the running totals, and the lessons a page at a time. It keeps one connection
// while it lives, holding no lock between calls, so a trainer may write meanwhile.
class HistoryReader {
  public:
    explicit HistoryReader(QString path, int busyTimeoutMs = 2000);
    ~HistoryReader();
    HistoryReader(const HistoryReader&) = delete;
    HistoryReader& operator=(const HistoryReader&) = delete;

    // Opens the file and brings an older one to the current schema; a missing file is an empty
    // history, and is not made.
    HistoryStore::Outcome open();
    // The first read that failed since then, if one did (a damaged page shows when it is read).
    const std::optional<HistoryStore::Outcome>& failure() const { return m_failure; }
    const QString& path() const { return m_path; }

    bool isEmpty();
    int lessonCount(const HistoryFilter& filter);
    // In time order, then speed and setting, a day's Step answers before its copies.
    QList<DayAccuracy> dailyAccuracy(const HistoryFilter& filter);
    // The speeds of their own the history holds, in SettingBefore's order.
    QStringList freeSettings();
    // The 36 letters and digits, ranked as RankMissRates does.
    QList<CharacterMisses> missRates(const HistoryFilter& filter);
    // What was heard for what was sent, over the filter's lessons.
    ConfusionCounts confusions(const HistoryFilter& filter);
    // The same over the last lessons that have such pairs, however long ago.
    ConfusionCounts recentConfusions(int lessons);
    QList<LessonRecord> lessons(const HistoryFilter& filter, LessonOrder order, int offset,
                                int limit);
    // Every lesson of the filter, oldest first, until visit says no more; false when a read
    // failed.
    bool forEachLesson(const HistoryFilter& filter,
                       const std::function<bool(const LessonRecord&)>& visit);

  private:
    // Runs a query with the filter's conditions; false (and the failure kept) when it fails.
    // onLessons: the query reads the lessons table, which knows their band conditions.
    bool select(QSqlQuery& query, const QString& sql, const HistoryFilter& filter,
                const QList<QVariant>& more = {}, bool onLessons = false);
    void fail(const QSqlError& error);
    ConfusionCounts confusionsOf(QSqlQuery& query, bool selected);

    QString m_path;
    int m_busyTimeoutMs;
    std::unique_ptr<HistoryConnection> m_connection;  // none: no lessons yet
    std::optional<HistoryStore::Outcome> m_failure;
};
