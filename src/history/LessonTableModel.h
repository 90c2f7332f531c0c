#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "history/LessonRecord.h"

// The lessons as rows with the CSV file's columns. Under kSortRole each cell gives its value as
// a date or a number, so that a sorting proxy orders dates as dates and 9.5 before 10.0; the
// unjudged figures of a Normal lesson have no value and sort together at one end.
class LessonTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kSortRole = Qt::UserRole;

    explicit LessonTableModel(QObject* parent = nullptr);

    void setLessons(QList<LessonRecord> lessons);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    QVariant sortValue(int row, int column) const;

    QList<LessonRecord> m_lessons;
    QList<QStringList> m_texts;  // each lesson's column texts, made once per filter
};
