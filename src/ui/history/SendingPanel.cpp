#include "ui/history/SendingPanel.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/history/HistoryWidgets.h"
#include "ui/lesson/FistReportWindow.h"

using namespace Qt::StringLiterals;

namespace {

QString UnitsText(const TimingFigure& figure) {
    return figure.count == 0 ? u"—"_s : QString::number(figure.units, 'f', 1);
}

QString ScoreText(const SendingSession& session) {
    QString text = session.score ? PercentText(*session.score) : u"—"_s;
    if (session.right && session.tries) {
        text += u"（%1/%2）"_s.arg(*session.right).arg(*session.tries);
    }
    return text;
}

QString WhenText(const SendingSession& session) {
    return session.finishedAt.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s);
}

QValueAxis* AddAxis(QChart* chart, const QString& title, Qt::Alignment side) {
    auto* axis = new QValueAxis(chart);
    axis->setTitleText(title);
    axis->setLabelFormat(u"%.1f"_s);
    chart->addAxis(axis, side);
    return axis;
}

// The practices' span with a tenth of it to spare each side (a minute at least), so that
// practices of one sitting spread over the chart; labelled with the time of day when they lie
// within a day (the day in the title), with date and time within a month, with dates beyond.
void FitTimeAxis(QDateTimeAxis* axis, const QDateTime& first, const QDateTime& last) {
    constexpr qint64 kDay = 24 * 3600;
    const qint64 margin = std::max<qint64>(60, first.secsTo(last) / 10);
    const QDateTime from = first.addSecs(-margin);
    const QDateTime to = last.addSecs(margin);
    const qint64 shown = from.secsTo(to);
    const QDate day = from.toLocalTime().date();
    if (shown <= kDay && day == to.toLocalTime().date()) {
        axis->setFormat(u"HH:mm"_s);
        axis->setTitleText(u"時刻（%1）"_s.arg(day.toString(u"yyyy-MM-dd"_s)));
    } else {
        axis->setFormat(shown <= 31 * kDay ? u"MM/dd HH:mm"_s : u"yy/MM/dd"_s);
        axis->setTitleText(u"日時"_s);
    }
    axis->setRange(from, to);
}

}  // namespace

SendingPanel::SendingPanel(QWidget* parent) : QWidget(parent) {
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_timeAxis = new QDateTimeAxis(m_chart);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_wpmAxis = AddAxis(m_chart, u"速度(WPM)"_s, Qt::AlignLeft);
    m_ratioAxis = AddAxis(m_chart, u"長点:短点"_s, Qt::AlignRight);
    m_view = MakeChartView(m_chart, u"SendingChart"_s, u"送信の速度と長短比のグラフ"_s, this);
    m_view->setMinimumSize(360, 200);
    m_note = new QLabel(this);
    m_note->setObjectName(u"SendingNote"_s);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    m_table = MakeFigureTable(u"SendingTable"_s, u"送信練習の表"_s,
                              {u"日時"_s, u"練習"_s, u"文字数"_s, u"速度(WPM)"_s, u"長点:短点"_s,
                               u"符号内の間隔"_s, u"文字間の間隔"_s, u"単語間の間隔"_s, u"得点"_s},
                              this);
    m_open = new QPushButton(u"送信の評価を見る(&V)"_s, this);
    m_open->setObjectName(u"SendingReportButton"_s);
    m_open->setAccessibleName(u"送信の評価を見る"_s);
    m_open->setAutoDefault(false);
    connect(m_table, &QTableWidget::activated, this,
            [this](const QModelIndex& index) { openReport(index.row()); });
    connect(m_open, &QPushButton::clicked, this, [this] { openReport(m_table->currentRow()); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_open);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 2);
    layout->addWidget(m_note);
    layout->addWidget(m_table, 3);
    layout->addLayout(buttons);
}

void SendingPanel::showSessions(const QList<SendingSession>& sessions, const QString& note) {
    m_sessions = sessions;
    std::reverse(m_sessions.begin(), m_sessions.end());
    m_chart->removeAllSeries();
    auto* speed = new QLineSeries;
    speed->setName(u"速度(WPM)"_s);
    auto* ratio = new QLineSeries;
    ratio->setName(u"長点:短点"_s);
    QList<QStringList> rows;
    double fastest = 10;
    double widest = 4;
    for (const SendingSession& session : sessions) {
        const FistReport& report = session.report;
        const double at = double(session.finishedAt.toMSecsSinceEpoch());
        speed->append(at, report.wpm);
        if (report.dash.count > 0) {
            ratio->append(at, report.dash.units);
        }
        fastest = std::max(fastest, report.wpm);
        widest = std::max(widest, report.dash.units);
    }
    for (const SendingSession& session : std::as_const(m_sessions)) {
        const FistReport& report = session.report;
        rows.append({WhenText(session), session.mode, QString::number(session.charactersKeyed),
                     QString::number(report.wpm, 'f', 1), UnitsText(report.dash),
                     UnitsText(report.elementGap), UnitsText(report.characterGap),
                     UnitsText(report.wordGap), ScoreText(session)});
    }
    for (QLineSeries* series : {speed, ratio}) {
        series->setPointsVisible(true);  // a single practice is a single point
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(series == speed ? m_wpmAxis : m_ratioAxis);
    }
    m_wpmAxis->setRange(0, std::ceil(fastest / 5) * 5);
    m_ratioAxis->setRange(0, std::ceil(widest));
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime first = m_sessions.isEmpty() ? now : m_sessions.last().finishedAt;
    const QDateTime last = m_sessions.isEmpty() ? now : m_sessions.first().finishedAt;
    FitTimeAxis(m_timeAxis, first, last);
    FillFigureTable(m_table, rows, {2, 3, 4, 5, 6, 7, 8});
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    m_open->setEnabled(!m_sessions.isEmpty());
}

FistReportWindow* SendingPanel::openReport(int row) {
    if (row < 0 || row >= m_sessions.size()) {
        return nullptr;
    }
    const SendingSession& session = m_sessions[row];
    auto* window = new FistReportWindow(
        session.report,
        u"%1 %2（%3 文字）"_s.arg(WhenText(session), session.mode).arg(session.charactersKeyed),
        this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();  // Esc and the keys go to the report, not the window under it
    return window;
}
