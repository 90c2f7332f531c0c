#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QMap>

#include "core/history/HistoryReader.h"

// The lessons of a filter as rows with the CSV file's columns, however many there are: the row
// count comes from the history's totals, and the rows are read a page at a time as the view
// shows them, only the last few pages kept. Sorting asks the history for the order.
class LessonTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kPageRows = 200;
    static constexpr int kPagesKept = 8;

    explicit LessonTableModel(HistoryReader& reader, QObject* parent = nullptr);

    void setFilter(const HistoryFilter& filter);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order) override;

  private:
    struct Page {
        QList<QStringList> texts;  // each lesson's column texts
        quint64 used = 0;          // when it was last read, to forget the oldest
    };
    const QStringList* rowTexts(int row) const;

    HistoryReader& m_reader;
    HistoryFilter m_filter;
    LessonOrder m_order;
    int m_rows = 0;
    mutable QMap<int, Page> m_pages;
    mutable quint64 m_reads = 0;
};
