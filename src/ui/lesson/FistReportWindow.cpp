#include "ui/lesson/FistReportWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/lesson/FistReportPicture.h"

namespace {

QTableWidget* MakeTable(const QList<FistReportRow>& rows, QWidget* parent) {
    auto* table = new QTableWidget(int(rows.size()), 3, parent);
    table->setObjectName(QStringLiteral("FistReportTable"));
    table->setAccessibleName(QStringLiteral("送信の評価の表"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("項目"), QStringLiteral("あなたの送信"), QStringLiteral("標準")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    // Arrow keys move within it, Tab goes on to the button.
    table->setTabKeyNavigation(false);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < rows.size(); ++row) {
        const FistReportRow& figures = rows[row];
        int column = 0;
        for (const QString& text : {figures.caption, figures.value, figures.standard}) {
            table->setItem(row, column++, new QTableWidgetItem(text));
        }
    }
    table->resizeColumnsToContents();
    return table;
}

}  // namespace

FistReportWindow::FistReportWindow(const FistReport& report, const QString& about, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FistReportWindow"));
    setWindowTitle(QStringLiteral("送信の評価"));
    setAccessibleName(QStringLiteral("送信の評価"));
    auto* layout = new QVBoxLayout(this);
    if (!about.isEmpty()) {
        auto* label = new QLabel(about, this);
        label->setObjectName(QStringLiteral("FistReportAbout"));
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
    }
    layout->addWidget(new FistReportPicture(report, this), 3);
    m_table = MakeTable(FistReportRows(report), this);
    layout->addWidget(m_table, 2);
    m_close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    m_close->setObjectName(QStringLiteral("FistReportClose"));
    m_close->setAccessibleName(QStringLiteral("閉じる"));
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    m_table->setFocus();
    resize(620, 680);
}
