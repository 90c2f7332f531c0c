#pragma once

#include <QDateTime>
#include <QList>
#include <QWidget>

#include "history/LessonRecord.h"

class QChart;
class QChartView;
class QDateTimeAxis;
class QTableWidget;
class QValueAxis;

// The accuracy of the Step lessons over time: a line per speed, and beside it a table of the
// same figures for those who cannot see the chart.
class AccuracyPanel : public QWidget {
    Q_OBJECT
  public:
    // now: where the time axis ends while there is nothing to draw.
    explicit AccuracyPanel(QDateTime now, QWidget* parent = nullptr);

    void showLessons(const QList<LessonRecord>& lessons);

    QChartView* chartView() const { return m_view; }
    QTableWidget* table() const { return m_table; }

  private:
    void setTimeRange(QDateTime first, QDateTime last);

    QDateTime m_now;
    QChart* m_chart = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_percentAxis = nullptr;
    QChartView* m_view = nullptr;
    QTableWidget* m_table = nullptr;
};
