#include "history/HistoryWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "common/DesktopServices.h"
#include "history/AccuracyPanel.h"
#include "history/HistoryStats.h"
#include "history/HistoryWidgets.h"
#include "history/LessonTableModel.h"
#include "history/LessonsCsv.h"
#include "history/MissRatePanel.h"

using namespace Qt::StringLiterals;

namespace {

const QString kNoLessonsYet =
    u"まだ記録がありません。ステップ受信の練習を終えると、ここに成績が記録されます。"_s;
const QString kNoneInFilter = u"選んだ期間と速度のレッスンはありません。"_s;
const QString kExportTitle = u"成績履歴の書き出し"_s;

QComboBox* MakeCombo(const QString& objectName, const QString& accessibleName,
                     const QList<std::pair<QString, int>>& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    combo->setAccessibleName(accessibleName);
    for (const auto& [text, value] : items) {
        combo->addItem(text, value);
    }
    return combo;
}

QLabel* MakeBuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QPushButton* MakeButton(const QString& objectName, const QString& text,
                        const QString& accessibleName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(accessibleName);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

HistoryWindow::HistoryWindow(QList<LessonRecord> lessons, DesktopServices& desktop, QDateTime now,
                             QWidget* parent)
    : QDialog(parent), m_lessons(std::move(lessons)), m_desktop(desktop), m_now(std::move(now)) {
    setObjectName(u"HistoryWindow"_s);
    setWindowTitle(u"成績履歴"_s);
    setAccessibleName(u"成績履歴"_s);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    // The controls are made in the order Tab visits them: filters, the tab bar, the table of the
    // tab shown (its chart is passed by), the buttons. Moving one with setTabOrder would leave
    // the tab widget behind, and Tab from the buttons would land on its tab bar again.
    QWidget* filters = makeFilters();
    m_emptyNote = new QLabel(this);
    m_emptyNote->setObjectName(u"EmptyNote"_s);
    m_emptyNote->setWordWrap(true);
    m_emptyNote->setTextFormat(Qt::PlainText);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(u"HistoryTabs"_s);
    m_tabs->setAccessibleName(u"表示の切り替え"_s);
    m_accuracy = new AccuracyPanel(m_now, this);
    m_missRates = new MissRatePanel(this);
    m_tabs->addTab(m_accuracy, u"正解率の推移"_s);
    m_tabs->addTab(m_missRates, u"文字別ミス率"_s);
    m_tabs->addTab(makeLessonList(), u"レッスン一覧"_s);

    m_export = MakeButton(u"ExportButton"_s, u"CSVに書き出す(&E)..."_s, u"CSVに書き出す"_s, this);
    m_close = MakeButton(u"CloseButton"_s, u"閉じる"_s, u"閉じる"_s, this);
    connect(m_export, &QPushButton::clicked, this, &HistoryWindow::exportCsv);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_export);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filters);
    layout->addWidget(m_emptyNote);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    m_period->setFocus();
    resize(960, 600);
    refilter();
}

QWidget* HistoryWindow::makeFilters() {
    auto* filters = new QWidget(this);
    m_period = MakeCombo(
        u"PeriodCombo"_s, u"期間"_s,
        {{u"すべて"_s, 0}, {u"過去7日"_s, 7}, {u"過去30日"_s, 30}, {u"過去1年"_s, 365}}, filters);
    m_speed = MakeCombo(
        u"SpeedCombo"_s, u"速度"_s,
        {{u"すべての速度"_s, 0}, {SpeedName(25), 25}, {SpeedName(45), 45}, {SpeedName(60), 60}},
        filters);
    connect(m_period, &QComboBox::currentIndexChanged, this, &HistoryWindow::refilter);
    connect(m_speed, &QComboBox::currentIndexChanged, this, &HistoryWindow::refilter);

    auto* layout = new QHBoxLayout(filters);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MakeBuddyLabel(u"期間(&P):"_s, m_period, filters));
    layout->addWidget(m_period);
    layout->addSpacing(12);
    layout->addWidget(MakeBuddyLabel(u"速度(&S):"_s, m_speed, filters));
    layout->addWidget(m_speed);
    layout->addStretch();
    return filters;
}

QWidget* HistoryWindow::makeLessonList() {
    m_lessonModel = new LessonTableModel(this);
    m_sortedLessons = new QSortFilterProxyModel(this);
    m_sortedLessons->setSourceModel(m_lessonModel);
    m_sortedLessons->setSortRole(LessonTableModel::kSortRole);

    m_lessonTable = new QTableView(this);
    m_lessonTable->setObjectName(u"LessonTable"_s);
    m_lessonTable->setAccessibleName(u"レッスン一覧の表"_s);
    m_lessonTable->setModel(m_sortedLessons);
    m_lessonTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lessonTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lessonTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lessonTable->setTabKeyNavigation(false);
    m_lessonTable->verticalHeader()->setVisible(false);
    m_lessonTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_lessonTable->horizontalHeader()->setStretchLastSection(true);
    m_lessonTable->setSortingEnabled(true);
    // Newest first, as a history is usually read.
    m_lessonTable->sortByColumn(int(LessonColumn::FinishedAt), Qt::DescendingOrder);
    return m_lessonTable;
}

void HistoryWindow::refilter() {
    const int speed = m_speed->currentData().toInt();
    m_shown = FilterLessons(m_lessons, m_period->currentData().toInt(),
                            speed > 0 ? std::optional<int>(speed) : std::nullopt, m_now);
    m_accuracy->showLessons(m_shown);
    m_missRates->showLessons(m_shown);
    m_lessonModel->setLessons(m_shown);

    if (m_lessons.isEmpty()) {
        m_emptyNote->setText(kNoLessonsYet);
    } else if (m_shown.isEmpty()) {
        m_emptyNote->setText(kNoneInFilter);
    }
    m_emptyNote->setVisible(m_shown.isEmpty());
}

// The lessons shown, in the history's order; a file that cannot be written is left as it was.
void HistoryWindow::exportCsv() {
    const QString path = m_desktop.saveFileName(
        this, kExportTitle,
        u"成績履歴-"_s + m_now.toLocalTime().toString(u"yyyyMMdd"_s) + u".csv"_s,
        u"CSVファイル (*.csv)"_s);
    if (path.isEmpty()) {
        return;
    }
    QSaveFile file(path);
    const QByteArray csv = LessonsCsv(m_shown);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit()) {
        return;
    }
    const QString reason = file.errorString();
    file.cancelWriting();
    m_desktop.showMessage(this, DesktopServices::Icon::Critical, kExportTitle,
                          u"成績履歴を書き出せませんでした。\n%1\n(%2)"_s.arg(path, reason));
}
