#include "ui/history/AccuracyPanel.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <map>

#include "core/history/HistoryDatabase.h"
#include "ui/history/HistoryWidgets.h"

using namespace Qt::StringLiterals;

namespace {

// At most this many steps between the date labels, so that they fit under the chart.
constexpr int kMostDateSteps = 6;

// A day's point sits at its noon, between the midnights that bound it.
QDateTime Noon(QDate day) {
    return QDateTime(day, QTime(12, 0));
}

}  // namespace

AccuracyPanel::AccuracyPanel(QDate today, QWidget* parent) : QWidget(parent), m_today(today) {
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_timeAxis = new QDateTimeAxis(m_chart);
    m_timeAxis->setTitleText(u"日付"_s);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_percentAxis = AddPercentAxis(m_chart, u"正解率(%)"_s);

    m_view = MakeChartView(m_chart, u"AccuracyChart"_s, u"正解率の推移のグラフ"_s, this);
    m_table = MakeFigureTable(u"AccuracyTable"_s, u"正解率の推移の表"_s,
                              {u"日付"_s, u"速度"_s, u"回数"_s, u"正解率(%)"_s}, this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_view, 3);
    layout->addWidget(m_table, 2);
}

void AccuracyPanel::showDays(const QList<DayAccuracy>& days) {
    m_chart->removeAllSeries();
    // A line per speed and setting, and another for the copies at each: the fixed speeds first,
    // then the speeds of their own.
    const auto before = [](const DayAccuracy* a, const DayAccuracy* b) {
        if (a->setting != b->setting) {
            return SettingBefore(a->setting, b->setting);
        }
        return std::pair(a->speed, a->copy) < std::pair(b->speed, b->copy);
    };
    std::map<const DayAccuracy*, QLineSeries*, decltype(before)> bySpeed(before);
    QList<QStringList> rows;
    for (const DayAccuracy& day : days) {
        QLineSeries*& series = bySpeed[&day];
        const QString name =
            SettingName(day.speed, day.setting) + (day.copy ? u"（受信メモ）"_s : QString());
        if (series == nullptr) {
            series = new QLineSeries;
            series->setName(name);
            series->setPointsVisible(true);  // a speed of one day is a single point
        }
        series->append(double(Noon(day.day).toMSecsSinceEpoch()), day.percent);
        rows.append({day.day.toString(u"yyyy-MM-dd"_s), name, QString::number(day.lessons),
                     PercentText(day.percent)});
    }
    for (const auto& [day, series] : bySpeed) {
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_percentAxis);
    }
    FillFigureTable(m_table, rows, {2, 3});
    if (days.isEmpty()) {
        setDayRange(m_today.addDays(-6), m_today);
    } else {
        setDayRange(days.first().day, days.last().day);
    }
}

// From the noon before the first day to a noon after the last, so that no point sits on the
// edge; the labels fall on noons a whole number of days apart, so no day is named twice.
void AccuracyPanel::setDayRange(QDate first, QDate last) {
    const QDate start = first.addDays(-1);
    const qint64 span = start.daysTo(last.addDays(1));
    const qint64 step = (span + kMostDateSteps - 1) / kMostDateSteps;
    const qint64 steps = (span + step - 1) / step;
    const QDate end = start.addDays(steps * step);
    m_timeAxis->setFormat(start.year() == end.year() ? u"MM/dd"_s : u"yy/MM/dd"_s);
    m_timeAxis->setTickCount(int(steps) + 1);
    m_timeAxis->setRange(Noon(start), Noon(end));
}
