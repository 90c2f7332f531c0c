#include "ui/history/HistoryWindow.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <utility>

#include "core/history/LessonTableModel.h"
#include "core/history/LessonsCsv.h"
#include "ui/history/AccuracyPanel.h"
#include "ui/history/ConfusionPanel.h"
#include "ui/history/FilterComboBox.h"
#include "ui/history/HistoryWidgets.h"
#include "ui/history/MissRatePanel.h"
#include "ui/history/SendingPanel.h"
#include "ui/kit/DesktopServices.h"

using namespace Qt::StringLiterals;

namespace {

const QString kNoLessonsYet =
    u"まだ受信練習の記録がありません。ステップ受信またはノーマル受信の練習を最後まで終えると、"
    u"ここに成績が記録されます。"_s;
const QString kNoneInFilter = u"選んだ期間と速度のレッスンはありません。"_s;
const QString kExportTitle = u"成績履歴の書き出し"_s;

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

HistoryWindow::HistoryWindow(std::unique_ptr<HistoryReader> reader, DesktopServices& desktop,
                             QDateTime now, QWidget* parent)
    : QDialog(parent), m_reader(std::move(reader)), m_desktop(desktop), m_now(std::move(now)) {
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
    m_accuracy = new AccuracyPanel(m_now.toLocalTime().date(), this);
    m_missRates = new MissRatePanel(this);
    m_tabs->addTab(m_accuracy, u"正解率の推移"_s);
    m_tabs->addTab(m_missRates, u"文字別ミス率"_s);
    m_tabs->addTab(makeLessonList(), u"レッスン一覧"_s);
    m_confusions = new ConfusionPanel(this);
    m_tabs->addTab(m_confusions, u"聞き違い"_s);
    m_sending = new SendingPanel(this);
    m_tabs->addTab(m_sending, u"送信"_s);
    connect(m_tabs, &QTabWidget::currentChanged, this, &HistoryWindow::showSendingIfChosen);

    m_export = MakeButton(u"ExportButton"_s, u"CSVに書き出す(&E)..."_s, u"CSVに書き出す"_s, this);
    m_close = MakeButton(u"CloseButton"_s, u"閉じる(&X)"_s, u"閉じる"_s, this);
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
    m_historyEmpty = m_reader->isEmpty();
    refilter();
}

HistoryWindow::~HistoryWindow() {
    // The list and its rows go before the reader they read from.
    delete m_lessonTable;
}

QWidget* HistoryWindow::makeFilters() {
    auto* filters = new QWidget(this);
    m_period = new FilterComboBox(
        u"PeriodCombo"_s, u"期間"_s,
        {{u"すべて"_s, 0}, {u"過去7日"_s, 7}, {u"過去30日"_s, 30}, {u"過去1年"_s, 365}}, filters);
    m_speed = new FilterComboBox(
        u"SpeedCombo"_s, u"速度"_s,
        {{u"すべての速度"_s, 0}, {SpeedName(25), 25}, {SpeedName(45), 45}, {SpeedName(60), 60}},
        filters);
    // Then each speed of its own the history holds, by its figures.
    for (const QString& setting : m_reader->freeSettings()) {
        m_speed->addItem(SettingName(0, setting), setting);
    }
    m_band = new FilterComboBox(u"BandCombo"_s, u"条件"_s,
                                {{u"すべて"_s, 0}, {u"なし"_s, 1}, {u"あり"_s, 2}}, filters);
    connect(m_period, &FilterComboBox::currentIndexChanged, this, &HistoryWindow::refilter);
    connect(m_speed, &FilterComboBox::currentIndexChanged, this, &HistoryWindow::refilter);
    connect(m_band, &FilterComboBox::currentIndexChanged, this, &HistoryWindow::refilter);

    auto* layout = new QHBoxLayout(filters);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MakeBuddyLabel(u"期間(&P):"_s, m_period, filters));
    layout->addWidget(m_period);
    layout->addSpacing(12);
    layout->addWidget(MakeBuddyLabel(u"速度(&S):"_s, m_speed, filters));
    layout->addWidget(m_speed);
    layout->addSpacing(12);
    layout->addWidget(MakeBuddyLabel(u"条件(&C):"_s, m_band, filters));
    layout->addWidget(m_band);
    layout->addStretch();
    return filters;
}

QWidget* HistoryWindow::makeLessonList() {
    m_lessonTable = new QTableView(this);
    // Its child, so that it lives as long as the view that may still ask it for rows.
    m_lessonModel = new LessonTableModel(*m_reader, m_lessonTable);
    m_lessonTable->setObjectName(u"LessonTable"_s);
    m_lessonTable->setAccessibleName(u"レッスン一覧の表"_s);
    m_lessonTable->setModel(m_lessonModel);
    m_lessonTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lessonTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lessonTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lessonTable->setTabKeyNavigation(false);
    m_lessonTable->verticalHeader()->setVisible(false);
    // Widths from the first rows only: measuring every lesson would read them all.
    m_lessonTable->horizontalHeader()->setResizeContentsPrecision(LessonTableModel::kPageRows);
    m_lessonTable->horizontalHeader()->setStretchLastSection(true);
    m_lessonTable->setSortingEnabled(true);
    // Newest first, as a history is usually read.
    m_lessonTable->sortByColumn(int(LessonColumn::FinishedAt), Qt::DescendingOrder);
    return m_lessonTable;
}

void HistoryWindow::refilter() {
    m_filter = HistoryFilter::Last(m_period->currentData().toInt(), std::nullopt, m_now);
    const QVariant speed = m_speed->currentData();
    if (speed.typeId() == QMetaType::QString) {
        m_filter.setting = speed.toString();
    } else if (speed.toInt() > 0) {
        // That speed chosen, not a speed of its own kept with it as the nearest.
        m_filter.speed = speed.toInt();
        m_filter.setting = u""_s;
    }
    if (const int band = m_band->currentData().toInt(); band > 0) {
        m_filter.band = band == 2;
    }
    m_lessonModel->setFilter(m_filter);
    m_shownCount = m_lessonModel->rowCount();
    m_accuracy->showDays(m_reader->dailyAccuracy(m_filter));
    m_missRates->showRates(m_reader->missRates(m_filter));
    m_confusions->showConfusions(m_reader->confusions(m_filter));
    m_lessonTable->resizeColumnsToContents();
    m_sendingStale = true;
    showSendingIfChosen();

    m_emptyNote->setText(m_historyEmpty ? kNoLessonsYet : kNoneInFilter);
    m_emptyNote->setVisible(m_shownCount == 0);
}

// The sending practices are read only when their tab is chosen, so the window opens as fast
// as it did without them; the period filter applies to them, the speed filter does not.
void HistoryWindow::showSendingIfChosen() {
    if (!m_sendingStale || m_tabs->currentWidget() != m_sending) {
        return;
    }
    m_sendingStale = false;
    HistoryStore::Outcome outcome;
    const QList<SendingSession> sessions =
        ReadSendingSessions(m_reader->path(), m_filter.fromDay, kSendingShown, &outcome);
    QString note;
    if (!outcome.ok) {
        note = u"送信練習の記録を読めませんでした。%1"_s.arg(outcome.error);
    } else if (sessions.isEmpty()) {
        note = u"この期間の送信練習の記録はありません。"_s;
    }
    m_sending->showSessions(sessions, note);
}

// The lessons shown, oldest first, written as they are read; a file that cannot be written is
// left as it was.
void HistoryWindow::exportCsv() {
    const QString path = m_desktop.saveFileName(
        this, kExportTitle,
        u"成績履歴-"_s + m_now.toLocalTime().toString(u"yyyyMMdd"_s) + u".csv"_s,
        u"CSVファイル (*.csv)"_s);
    if (path.isEmpty()) {
        return;
    }
    QSaveFile file(path);
    // A long history takes a few seconds.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool written = file.open(QIODevice::WriteOnly) && file.write(LessonsCsvHeader()) >= 0;
    int lessons = 0;
    const bool read = written && m_reader->forEachLesson(m_filter, [&](const LessonRecord& lesson) {
        written = file.write(LessonsCsvRow(lesson)) >= 0;
        lessons += written ? 1 : 0;
        return written;
    });
    QApplication::restoreOverrideCursor();
    if (read && written && file.commit()) {
        m_desktop.showMessage(this, DesktopServices::Icon::Information, kExportTitle,
                              u"%1 回分のレッスンを書き出しました。\n%2"_s.arg(lessons).arg(
                                  QDir::toNativeSeparators(path)));
        return;
    }
    const QString reason =
        !read && m_reader->failure() ? m_reader->failure()->error : file.errorString();
    file.cancelWriting();
    m_desktop.showMessage(this, DesktopServices::Icon::Critical, kExportTitle,
                          u"成績履歴を書き出せませんでした。\n%1\n(%2)"_s.arg(path, reason));
}
