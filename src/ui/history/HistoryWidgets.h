#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QChart;
class QChartView;
class QTableWidget;
class QValueAxis;
class QWidget;

// Pieces the history window's tabs share.

// "毎分25文字": a speed as the filters, the chart's lines and the tables name it.
QString SpeedName(int speed);
// The same for a speed setting of the running totals: a speed of its own as "20/10WPM".
QString SettingName(int speed, const QString& setting);

// A percentage as the tables show it: one decimal, no sign.
QString PercentText(double percent);

// A read-only table of figures that Tab leaves (arrow keys move within it), so that the keyboard
// reaches the buttons after it.
QTableWidget* MakeFigureTable(const QString& objectName, const QString& accessibleName,
                              const QStringList& headers, QWidget* parent);

// Replaces a figure table's rows; number columns are set right-aligned.
void FillFigureTable(QTableWidget* table, const QList<QStringList>& rows,
                     const QList<int>& numberColumns);

// A view of the chart that the keyboard passes by: the table beside it holds the same figures.
QChartView* MakeChartView(QChart* chart, const QString& objectName, const QString& accessibleName,
                          QWidget* parent);

// A count axis from 0 to at least most, its ticks on whole numbers 1, 2 or 5 × 10ⁿ apart, at
// most five steps: counts are never labelled at fractions.
void SetCountRange(QValueAxis* axis, int most);

// The chart's 0 … 100 % axis, titled, added on the chart's left.
QValueAxis* AddPercentAxis(QChart* chart, const QString& title);
