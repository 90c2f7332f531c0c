#include "history/MissRatePanel.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>

#include "history/HistoryStats.h"
#include "history/HistoryWidgets.h"

using namespace Qt::StringLiterals;

namespace {

bool AnyStepLesson(const QList<LessonRecord>& lessons) {
    return std::any_of(lessons.begin(), lessons.end(), [](const LessonRecord& lesson) {
        return lesson.mode == LessonRecord::Mode::Step;
    });
}

}  // namespace

MissRatePanel::MissRatePanel(QWidget* parent) : QWidget(parent) {
    m_chart = new QChart;
    m_chart->legend()->hide();
    m_characterAxis = new QBarCategoryAxis(m_chart);
    m_characterAxis->setTitleText(u"文字"_s);
    m_chart->addAxis(m_characterAxis, Qt::AlignBottom);
    m_rateAxis = AddPercentAxis(m_chart, u"ミス率(%)"_s);

    m_view = MakeChartView(m_chart, u"MissRateChart"_s, u"文字別ミス率のグラフ"_s, this);
    m_table = MakeFigureTable(u"MissRateTable"_s, u"文字別ミス率の表"_s,
                              {u"文字"_s, u"ミス"_s, u"出題数"_s, u"ミス率(%)"_s}, this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_view, 3);
    layout->addWidget(m_table, 2);
}

void MissRatePanel::showLessons(const QList<LessonRecord>& lessons) {
    m_chart->removeAllSeries();
    m_characterAxis->clear();
    if (!AnyStepLesson(lessons)) {
        FillFigureTable(m_table, {}, {});
        return;
    }
    const QList<CharacterMisses> rates = MissRates(lessons);
    auto* bars = new QBarSet(u"ミス率(%)"_s);
    QStringList characters;
    QList<QStringList> rows;
    for (const CharacterMisses& rate : rates) {
        const QString character(rate.character);
        characters.append(character);
        bars->append(rate.rate * 100);
        rows.append({character, QString::number(rate.misses), QString::number(rate.played),
                     PercentText(rate.rate * 100)});
    }
    auto* series = new QBarSeries;
    series->append(bars);
    m_chart->addSeries(series);
    m_characterAxis->append(characters);
    series->attachAxis(m_characterAxis);
    series->attachAxis(m_rateAxis);
    FillFigureTable(m_table, rows, {1, 2, 3});
}
