#include "ui/history/HistoryWidgets.h"

#include <QAbstractItemView>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>

#include "core/history/HistoryDatabase.h"
#include "core/link/ExactSpeed.h"

using namespace Qt::StringLiterals;

QString SpeedName(int speed) {
    return u"毎分%1文字"_s.arg(speed);
}

QString SettingName(int speed, const QString& setting) {
    if (setting.isEmpty()) {
        return SpeedName(speed);
    }
    const std::optional<FreeSpeed> free = FreeSpeedOfSetting(setting);
    return free ? ExactSpeedCaption(*free) : setting;
}

QString PercentText(double percent) {
    return QString::number(percent, 'f', 1);
}

QTableWidget* MakeFigureTable(const QString& objectName, const QString& accessibleName,
                              const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(objectName);
    table->setAccessibleName(accessibleName);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

void FillFigureTable(QTableWidget* table, const QList<QStringList>& rows,
                     const QList<int>& numberColumns) {
    table->clearContents();
    table->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows[row].size() && column < table->columnCount(); ++column) {
            auto* item = new QTableWidgetItem(rows[row][column]);
            if (numberColumns.contains(column)) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            table->setItem(row, column, item);
        }
    }
}

QChartView* MakeChartView(QChart* chart, const QString& objectName, const QString& accessibleName,
                          QWidget* parent) {
    auto* view = new QChartView(chart, parent);
    view->setObjectName(objectName);
    view->setAccessibleName(accessibleName);
    view->setAccessibleDescription(u"同じ数値は隣の表にあります。"_s);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::NoFocus);
    view->viewport()->setFocusPolicy(Qt::NoFocus);  // a graphics view's viewport takes it too
    view->setMinimumSize(360, 260);
    return view;
}

void SetCountRange(QValueAxis* axis, int most) {
    constexpr int kMostSteps = 5;
    int step = 1;
    for (int scale = 1; (most + step - 1) / step > kMostSteps; scale *= 10) {
        for (const int factor : {1, 2, 5}) {
            step = factor * scale;
            if ((most + step - 1) / step <= kMostSteps) {
                break;
            }
        }
    }
    const int steps = std::max(1, (most + step - 1) / step);
    axis->setLabelFormat(u"%d"_s);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setRange(0, double(steps) * step);
}

QValueAxis* AddPercentAxis(QChart* chart, const QString& title) {
    auto* axis = new QValueAxis(chart);
    axis->setRange(0, 100);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTitleText(title);
    chart->addAxis(axis, Qt::AlignLeft);
    return axis;
}
