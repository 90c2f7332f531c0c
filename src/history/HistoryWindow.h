#pragma once

#include <QDateTime>
#include <QDialog>
#include <QList>

#include "history/LessonRecord.h"

class AccuracyPanel;
class DesktopServices;
class LessonTableModel;
class MissRatePanel;
class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;

// The lesson history: filters by period and speed, and under them the accuracy over time, the
// miss rate of each character and the list of lessons, each chart with a table of its figures.
// The lessons shown can be written to a CSV file. Works from the keyboard alone; Esc closes.
class HistoryWindow : public QDialog {
    Q_OBJECT
  public:
    // now: where the periods end (and the date in the suggested file name).
    HistoryWindow(QList<LessonRecord> lessons, DesktopServices& desktop, QDateTime now,
                  QWidget* parent = nullptr);

    // The lessons the filters let through, in the history's order.
    const QList<LessonRecord>& shownLessons() const { return m_shown; }

  private:
    QWidget* makeFilters();
    QWidget* makeLessonList();
    void refilter();
    void exportCsv();

    const QList<LessonRecord> m_lessons;
    DesktopServices& m_desktop;
    const QDateTime m_now;
    QList<LessonRecord> m_shown;

    QComboBox* m_period = nullptr;
    QComboBox* m_speed = nullptr;
    QLabel* m_emptyNote = nullptr;
    QTabWidget* m_tabs = nullptr;
    AccuracyPanel* m_accuracy = nullptr;
    MissRatePanel* m_missRates = nullptr;
    LessonTableModel* m_lessonModel = nullptr;
    QSortFilterProxyModel* m_sortedLessons = nullptr;
    QTableView* m_lessonTable = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_close = nullptr;
};
