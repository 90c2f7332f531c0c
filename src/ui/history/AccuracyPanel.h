#pragma once

#include <QDate>
#include <QList>
#include <QWidget>

#include "core/history/HistoryReader.h"

class QChart;
class QChartView;
class QDateTimeAxis;
class QTableWidget;
class QValueAxis;

// The accuracy of the Step lessons day by day: a line per speed, and beside it a table of the
// same figures for those who cannot see the chart.
class AccuracyPanel : public QWidget {
    Q_OBJECT
  public:
    // today: the last day of the time axis while there is nothing to draw.
    explicit AccuracyPanel(QDate today, QWidget* parent = nullptr);

    // In time order, as HistoryReader gives them.
    void showDays(const QList<DayAccuracy>& days);

    QChartView* chartView() const { return m_view; }
    QTableWidget* table() const { return m_table; }

  private:
    void setDayRange(QDate first, QDate last);

    QDate m_today;
    QChart* m_chart = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_percentAxis = nullptr;
    QChartView* m_view = nullptr;
    QTableWidget* m_table = nullptr;
};
