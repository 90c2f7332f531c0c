#include "history/AccuracyPanel.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>

#include "history/HistoryStats.h"
#include "history/HistoryWidgets.h"

using namespace Qt::StringLiterals;

namespace {

struct TablePoint {
    AccuracyPoint point;
    int speed = 0;
};

// Every point of every speed in time order; points of one moment keep the speeds' order.
QList<TablePoint> InTimeOrder(const QMap<int, QList<AccuracyPoint>>& bySpeed) {
    QList<TablePoint> points;
    for (auto it = bySpeed.begin(); it != bySpeed.end(); ++it) {
        for (const AccuracyPoint& point : it.value()) {
            points.append({point, it.key()});
        }
    }
    std::stable_sort(points.begin(), points.end(), [](const TablePoint& a, const TablePoint& b) {
        return a.point.at < b.point.at;
    });
    return points;
}

}  // namespace

AccuracyPanel::AccuracyPanel(QDateTime now, QWidget* parent)
    : QWidget(parent), m_now(std::move(now)) {
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_timeAxis = new QDateTimeAxis(m_chart);
    m_timeAxis->setFormat(u"MM/dd"_s);
    m_timeAxis->setTitleText(u"日付"_s);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_percentAxis = AddPercentAxis(m_chart, u"正解率(%)"_s);

    m_view = MakeChartView(m_chart, u"AccuracyChart"_s, u"正解率の推移のグラフ"_s, this);
    m_table = MakeFigureTable(u"AccuracyTable"_s, u"正解率の推移の表"_s,
                              {u"日時"_s, u"速度"_s, u"正解率(%)"_s}, this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_view, 3);
    layout->addWidget(m_table, 2);
}

void AccuracyPanel::showLessons(const QList<LessonRecord>& lessons) {
    const QMap<int, QList<AccuracyPoint>> bySpeed = AccuracyBySpeed(lessons);
    m_chart->removeAllSeries();
    for (auto it = bySpeed.begin(); it != bySpeed.end(); ++it) {
        auto* series = new QLineSeries;
        series->setName(SpeedName(it.key()));
        series->setPointsVisible(true);  // a speed with one lesson is a single point
        for (const AccuracyPoint& point : it.value()) {
            series->append(double(point.at.toMSecsSinceEpoch()), point.percent);
        }
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_percentAxis);
    }

    const QList<TablePoint> points = InTimeOrder(bySpeed);
    QList<QStringList> rows;
    for (const TablePoint& p : points) {
        rows.append({p.point.at.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s), SpeedName(p.speed),
                     PercentText(p.point.percent)});
    }
    FillFigureTable(m_table, rows, {2});
    if (points.isEmpty()) {
        setTimeRange(m_now.addDays(-7), m_now);
    } else {
        setTimeRange(points.first().point.at, points.last().point.at);
    }
}

// An axis needs some width: a single moment is shown with half a day either side.
void AccuracyPanel::setTimeRange(QDateTime first, QDateTime last) {
    if (first >= last) {
        first = first.addSecs(-12 * 3600);
        last = last.addSecs(12 * 3600);
    }
    m_timeAxis->setRange(first.toLocalTime(), last.toLocalTime());
}
