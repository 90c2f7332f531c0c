#include "ui/lesson/WaterfallView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// One image column per 5 Hz and as many rows as some twenty seconds of sound take.
constexpr int kColumns = 260;
constexpr int kRows = 200;
// A level this far over the row's floor (its median) is drawn brightest.
constexpr float kShownRangeDb = 40;

QRgb Shade(float overFloorDb) {
    const float v = std::clamp(overFloorDb / kShownRangeDb, 0.0f, 1.0f);
    // Dark blue through cyan to yellow-white: a signal stands out of the floor at a glance.
    const int red = int(255 * std::clamp(2 * v - 1, 0.0f, 1.0f));
    const int green = int(255 * std::clamp(1.5f * v, 0.0f, 1.0f));
    const int blue = int(80 + 175 * std::clamp(1 - std::abs(2 * v - 1), 0.0f, 1.0f));
    return qRgb(red, green, blue);
}

}  // namespace

WaterfallView::WaterfallView(QWidget* parent)
    : QWidget(parent), m_image(kColumns, kRows, QImage::Format_RGB32) {
    m_image.fill(Shade(0));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(260, 100);
    setAccessibleName(u"ウォーターフォール"_s);
    describe();
}

void WaterfallView::addRow(const std::vector<float>& levelsDb, double firstHz, double binHz) {
    if (levelsDb.empty() || binHz <= 0) {
        return;
    }
    std::vector<float> sorted(levelsDb);
    std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
    const float floor = sorted[sorted.size() / 2];
    // The older rows move down one line; the new one is the top.
    const qsizetype line = m_image.bytesPerLine();
    std::memmove(m_image.bits() + line, m_image.constBits(), size_t(line * (kRows - 1)));
    auto* top = reinterpret_cast<QRgb*>(m_image.scanLine(0));
    for (int column = 0; column < kColumns; ++column) {
        const double hz = kLowestHz + (column + 0.5) * (kHighestHz - kLowestHz) / kColumns;
        const long bin = std::lround((hz - firstHz) / binHz);
        const bool inside = bin >= 0 && bin < long(levelsDb.size());
        top[column] = Shade(inside ? levelsDb[size_t(bin)] - floor : 0);
    }
    update();
}

void WaterfallView::setMarkers(const QList<double>& pitches) {
    if (pitches == m_markers) {
        return;
    }
    m_markers = pitches;
    describe();
    update();
}

void WaterfallView::clearRows() {
    m_image.fill(Shade(0));
    update();
}

double WaterfallView::pitchAt(double x) const {
    const double hz = kLowestHz + x / std::max(1, width()) * (kHighestHz - kLowestHz);
    return std::clamp(hz, kLowestHz, kHighestHz);
}

double WaterfallView::xOf(double hz) const {
    return (hz - kLowestHz) / (kHighestHz - kLowestHz) * width();
}

void WaterfallView::describe() {
    QStringList pitches;
    for (const double hz : m_markers) {
        pitches << u"%1 Hz"_s.arg(qRound(hz));
    }
    setAccessibleDescription(
        (pitches.isEmpty() ? u"追っている信号はありません。"_s
                           : u"追っている信号: "_s + pitches.join(u"、"_s) + u"。"_s) +
        u"カーソル %1 Hz。左右の矢印で動かし、Enter でその信号を選びます。"_s.arg(
            qRound(m_cursorHz)));
}

void WaterfallView::moveCursorTo(double hz) {
    m_cursorHz = std::clamp(hz, kLowestHz, kHighestHz);
    describe();
    update();
}

void WaterfallView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), m_image);
    painter.setPen(QPen(Qt::red, 2));
    for (const double hz : m_markers) {
        const int x = int(xOf(hz));
        painter.drawLine(x, 0, x, 8);
        painter.drawLine(x - 5, 0, x + 5, 0);
    }
    painter.setPen(QPen(hasFocus() ? Qt::white : Qt::gray, 1, Qt::DashLine));
    const int cursor = int(xOf(m_cursorHz));
    painter.drawLine(cursor, 0, cursor, height());
}

void WaterfallView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    moveCursorTo(pitchAt(event->position().x()));
    emit pitchPicked(m_cursorHz);
}

void WaterfallView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        moveCursorTo(m_cursorHz + (key == Qt::Key_Left ? -kCursorStepHz : kCursorStepHz));
        emit cursorMoved(m_cursorHz);
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit pitchPicked(m_cursorHz);
    } else {
        QWidget::keyPressEvent(event);
    }
}
