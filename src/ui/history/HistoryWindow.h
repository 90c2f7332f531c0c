#pragma once

#include <QDateTime>
#include <QDialog>
#include <memory>

#include "core/history/HistoryReader.h"

class AccuracyPanel;
class ConfusionPanel;
class DesktopServices;
class FilterComboBox;
class LessonTableModel;
class MissRatePanel;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class SendingPanel;

// The lesson history: filters by period and speed (the fixed ones and each speed of its own
// the history holds), and under them the accuracy day by day, the
// miss rate of each character, the list of lessons, what was heard for what was sent and the
// sending practices, each chart with a table of its figures.
// The lessons shown can be written to a CSV file. Works from the keyboard alone; Esc closes.
// However long the history, it reads only totals and the page of lessons in view.
class HistoryWindow : public QDialog {
    Q_OBJECT
  public:
    // reader: opened. now: where the periods end (and the date in the suggested file name).
    HistoryWindow(std::unique_ptr<HistoryReader> reader, DesktopServices& desktop, QDateTime now,
                  QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // How many lessons the filters let through.
    int shownCount() const { return m_shownCount; }
    HistoryReader& reader() { return *m_reader; }

  private:
    QWidget* makeFilters();
    QWidget* makeLessonList();
    void refilter();
    void exportCsv();
    void showSendingIfChosen();

    // The newest sending practices the window lists.
    static constexpr int kSendingShown = 1000;

    std::unique_ptr<HistoryReader> m_reader;
    DesktopServices& m_desktop;
    const QDateTime m_now;
    HistoryFilter m_filter;
    int m_shownCount = 0;
    bool m_historyEmpty = true;

    FilterComboBox* m_period = nullptr;
    FilterComboBox* m_speed = nullptr;
    FilterComboBox* m_band = nullptr;  // band conditions: all, none, some
    QLabel* m_emptyNote = nullptr;
    QTabWidget* m_tabs = nullptr;
    AccuracyPanel* m_accuracy = nullptr;
    MissRatePanel* m_missRates = nullptr;
    ConfusionPanel* m_confusions = nullptr;
    SendingPanel* m_sending = nullptr;
    bool m_sendingStale = true;  // the filter changed since the sending practices were read
    LessonTableModel* m_lessonModel = nullptr;
    QTableView* m_lessonTable = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_close = nullptr;
};
