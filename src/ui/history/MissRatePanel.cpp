#include "ui/history/MissRatePanel.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "ui/history/HistoryWidgets.h"

using namespace Qt::StringLiterals;

namespace {

const QString kNeverAsked = u"出題なし"_s;

}  // namespace

MissRatePanel::MissRatePanel(QWidget* parent) : QWidget(parent) {
    m_chart = new QChart;
    m_chart->legend()->hide();
    renewCharacterAxis();
    m_rateAxis = AddPercentAxis(m_chart, u"ミス率(%)"_s);

    m_view = MakeChartView(m_chart, u"MissRateChart"_s, u"文字別ミス率のグラフ"_s, this);
    m_neverAsked = new QLabel(this);
    m_neverAsked->setObjectName(u"NeverAskedNote"_s);
    m_neverAsked->setTextFormat(Qt::PlainText);
    m_neverAsked->setWordWrap(true);
    m_table = MakeFigureTable(u"MissRateTable"_s, u"文字別ミス率の表"_s,
                              {u"文字"_s, u"ミス"_s, u"出題数"_s, u"ミス率(%)"_s}, this);

    auto* chartColumn = new QVBoxLayout;
    chartColumn->addWidget(m_view, 1);
    chartColumn->addWidget(m_neverAsked);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(chartColumn, 3);
    layout->addWidget(m_table, 2);
}

// A cleared axis keeps drawing its old letters: a new one shows none until it gets its own.
void MissRatePanel::renewCharacterAxis() {
    if (m_characterAxis != nullptr) {
        m_chart->removeAxis(m_characterAxis);
        delete m_characterAxis;
    }
    m_characterAxis = new QBarCategoryAxis(m_chart);
    m_characterAxis->setTitleText(u"文字"_s);
    // One letter fits its bar's width even with all 36 shown, but the axis's own estimate of
    // the room would cut every label to "...".
    m_characterAxis->setTruncateLabels(false);
    m_chart->addAxis(m_characterAxis, Qt::AlignBottom);
}

void MissRatePanel::showRates(const QList<CharacterMisses>& rates) {
    m_chart->removeAllSeries();
    renewCharacterAxis();
    m_neverAsked->clear();
    const bool anyJudged = std::any_of(rates.begin(), rates.end(), [](const CharacterMisses& c) {
        return c.asked() || c.misses > 0;
    });
    if (!anyJudged) {
        FillFigureTable(m_table, {}, {});
        return;
    }
    auto* bars = new QBarSet(u"ミス率(%)"_s);
    QStringList characters;
    QStringList neverAsked;
    QList<QStringList> rows;
    for (const CharacterMisses& rate : rates) {
        const QString character(rate.character);
        if (rate.asked()) {
            characters.append(character);
            bars->append(rate.rate * 100);
        } else {
            neverAsked.append(character);
        }
        rows.append({character, QString::number(rate.misses), QString::number(rate.played),
                     rate.asked() ? PercentText(rate.rate * 100) : kNeverAsked});
    }
    auto* series = new QBarSeries;
    series->append(bars);
    m_chart->addSeries(series);
    m_characterAxis->append(characters);
    series->attachAxis(m_characterAxis);
    series->attachAxis(m_rateAxis);
    if (!neverAsked.isEmpty()) {
        m_neverAsked->setText(u"出題されていない文字: "_s + neverAsked.join(u' '));
    }
    FillFigureTable(m_table, rows, {1, 2, 3});
}
