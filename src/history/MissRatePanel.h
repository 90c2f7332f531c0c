#pragma once

#include <QList>
#include <QWidget>

#include "history/LessonRecord.h"

class QBarCategoryAxis;
class QChart;
class QChartView;
class QTableWidget;
class QValueAxis;

// How often each letter and digit was missed in the Step lessons, worst first: a bar chart and
// a table of the same figures. Without a Step lesson both stay empty.
class MissRatePanel : public QWidget {
    Q_OBJECT
  public:
    explicit MissRatePanel(QWidget* parent = nullptr);

    void showLessons(const QList<LessonRecord>& lessons);

    QChartView* chartView() const { return m_view; }
    QTableWidget* table() const { return m_table; }

  private:
    QChart* m_chart = nullptr;
    QBarCategoryAxis* m_characterAxis = nullptr;
    QValueAxis* m_rateAxis = nullptr;
    QChartView* m_view = nullptr;
    QTableWidget* m_table = nullptr;
};
