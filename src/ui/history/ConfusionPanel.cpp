#include "ui/history/ConfusionPanel.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QTableWidget>
#include <QValueAxis>

#include "ui/history/HistoryWidgets.h"

using namespace Qt::StringLiterals;

ConfusionPanel::ConfusionPanel(QWidget* parent) : QWidget(parent) {
    m_chart = new QChart;
    m_chart->legend()->hide();
    m_view = MakeChartView(m_chart, u"ConfusionChart"_s, u"聞き違いのグラフ"_s, this);
    m_table =
        MakeFigureTable(u"ConfusionTable"_s, u"聞き違いの表"_s,
                        {u"送信"_s, u"聞き取り"_s, u"回数"_s, u"送信に対する割合(%)"_s}, this);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_view, 3);
    layout->addWidget(m_table, 2);
}

void ConfusionPanel::showConfusions(const ConfusionCounts& counts) {
    m_chart->removeAllSeries();
    // Axes are made afresh: a cleared one keeps drawing its old names.
    for (QAbstractAxis* axis : m_chart->axes()) {
        m_chart->removeAxis(axis);
        delete axis;
    }
    const QList<ConfusionEntry> entries = MostConfused(counts);
    const std::map<QChar, CopyTally> tallies = CopyTallies(counts);
    QList<QStringList> rows;
    auto* bars = new QBarSet(u"回数"_s);
    QStringList pairs;
    int most = 0;
    for (const ConfusionEntry& entry : entries) {
        const auto sent = tallies.find(entry.sent);
        const QString share = entry.sent.isNull() || sent == tallies.end()
                                  ? QString()
                                  : PercentText(100.0 * entry.count / sent->second.sent);
        rows.append({ConfusionName(entry.sent), ConfusionName(entry.heard),
                     QString::number(entry.count), share});
        if (pairs.size() < kPairsCharted) {
            pairs.append(ConfusionName(entry.sent) + u'→' + ConfusionName(entry.heard));
            bars->append(entry.count);
            most = std::max(most, entry.count);
        }
    }
    FillFigureTable(m_table, rows, {2, 3});
    if (entries.isEmpty()) {
        delete bars;
        return;
    }
    auto* pairAxis = new QBarCategoryAxis(m_chart);
    pairAxis->setTitleText(u"送信→聞き取り"_s);
    pairAxis->setTruncateLabels(false);
    pairAxis->append(pairs);
    auto* countAxis = new QValueAxis(m_chart);
    countAxis->setTitleText(u"回数"_s);
    SetCountRange(countAxis, most);
    m_chart->addAxis(pairAxis, Qt::AlignBottom);
    m_chart->addAxis(countAxis, Qt::AlignLeft);
    auto* series = new QBarSeries;
    series->append(bars);
    m_chart->addSeries(series);
    series->attachAxis(pairAxis);
    series->attachAxis(countAxis);
}
