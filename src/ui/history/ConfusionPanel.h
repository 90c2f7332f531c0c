#pragma once

#include <QWidget>

#include "core/history/HistoryStats.h"

class QChart;
class QChartView;
class QTableWidget;

// What was heard for what was sent, the most confused pairs first: a bar chart of the first of
// them and, beside it for screen readers, a table of all with the share of the character sent.
class ConfusionPanel : public QWidget {
    Q_OBJECT
  public:
    // The pairs the chart shows; the table has them all.
    static constexpr int kPairsCharted = 15;

    explicit ConfusionPanel(QWidget* parent = nullptr);

    void showConfusions(const ConfusionCounts& counts);

    QChartView* chartView() const { return m_view; }
    QTableWidget* table() const { return m_table; }

  private:
    QChart* m_chart = nullptr;
    QChartView* m_view = nullptr;
    QTableWidget* m_table = nullptr;
};
