#pragma once

#include <QList>
#include <QWidget>

#include "core/history/HistoryStats.h"

class QBarCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QTableWidget;
class QValueAxis;

// How often each letter and digit was missed in the Step lessons, worst first: a bar chart of
// the characters that came, a table of all of them (those that never came said so), and under
// the chart the characters that never came. Without a Step lesson all stay empty.
class MissRatePanel : public QWidget {
    Q_OBJECT
  public:
    explicit MissRatePanel(QWidget* parent = nullptr);

    // Ranked as RankMissRates does.
    void showRates(const QList<CharacterMisses>& rates);

    QChartView* chartView() const { return m_view; }
    QTableWidget* table() const { return m_table; }
    QLabel* neverAskedNote() const { return m_neverAsked; }

  private:
    void renewCharacterAxis();

    QChart* m_chart = nullptr;
    QBarCategoryAxis* m_characterAxis = nullptr;
    QValueAxis* m_rateAxis = nullptr;
    QChartView* m_view = nullptr;
    QLabel* m_neverAsked = nullptr;
    QTableWidget* m_table = nullptr;
};
