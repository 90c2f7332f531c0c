#include "ui/lesson/FistReportPicture.h"

#include <QPainter>
#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kMargin = 8;
constexpr int kAxisWidth = 36;
constexpr int kLabelHeight = 18;
constexpr double kLongestUnits = FistReport::kBins * FistReport::kBinUnits;

// One histogram in its rectangle: the title above, the bars, the standard lengths as dashed
// lines named by their units, and a unit scale below.
void PaintHistogram(QPainter& painter, const QRect& area, const QString& title,
                    const std::vector<int>& bins, std::initializer_list<double> standard) {
    const QPalette palette;
    painter.setPen(palette.color(QPalette::WindowText));
    painter.drawText(area.adjusted(kAxisWidth, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, title);
    const QRect plot = area.adjusted(kAxisWidth, kLabelHeight, -kMargin, -kLabelHeight);
    if (plot.width() <= 0 || plot.height() <= 0) {
        return;
    }
    const int highest = bins.empty() ? 0 : *std::max_element(bins.begin(), bins.end());
    painter.drawText(QRect(area.left(), plot.top(), kAxisWidth - 4, kLabelHeight),
                     Qt::AlignRight | Qt::AlignTop, QString::number(highest));
    const auto x = [&plot](double units) {
        return plot.left() + units / kLongestUnits * plot.width();
    };
    const double barWidth = x(FistReport::kBinUnits) - x(0);
    for (std::size_t i = 0; i < bins.size() && highest > 0; ++i) {
        const double height = double(bins[i]) / highest * plot.height();
        painter.fillRect(QRectF(x(double(i) * FistReport::kBinUnits) + 1, plot.bottom() - height,
                                std::max(1.0, barWidth - 2), height),
                         palette.color(QPalette::Highlight));
    }
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    for (int unit = 0; unit <= int(kLongestUnits); ++unit) {
        const double at = x(unit);
        painter.drawLine(QPointF(at, plot.bottom()), QPointF(at, plot.bottom() + 3));
        painter.drawText(QRectF(at - 12, plot.bottom() + 3, 24, kLabelHeight - 3),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(unit));
    }
    QPen dashed(palette.color(QPalette::Link), 1.5, Qt::DashLine);
    for (const double units : standard) {
        painter.setPen(dashed);
        painter.drawLine(QPointF(x(units), plot.top()), QPointF(x(units), plot.bottom()));
        painter.setPen(palette.color(QPalette::Link));
        painter.drawText(QPointF(x(units) + 3, plot.top() + painter.fontMetrics().ascent()),
                         QString::number(units));
    }
}

}  // namespace

FistReportPicture::FistReportPicture(const FistReport& report, QWidget* parent)
    : QWidget(parent), m_report(report) {
    setObjectName(QStringLiteral("FistReportPicture"));
    setAccessibleName(QStringLiteral("符号と間隔の長さのグラフ"));
    setAccessibleDescription(QStringLiteral("同じ数値は下の表にあります。"));
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(360, 240);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void FistReportPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const int half = area.height() / 2;
    PaintHistogram(painter, QRect(area.left(), area.top(), area.width(), half),
                   QStringLiteral("符号の長さ（単位）"), m_report.markHistogram, {1.0, 3.0});
    PaintHistogram(painter, QRect(area.left(), area.top() + half, area.width(), half),
                   QStringLiteral("間隔の長さ（単位）"), m_report.gapHistogram, {1.0, 3.0, 7.0});
}
