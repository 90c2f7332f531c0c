#pragma once

#include <QList>
#include <QWidget>

#include "core/history/SendingHistory.h"

class FistReportWindow;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLabel;
class QPushButton;
class QTableWidget;
class QValueAxis;

// The sending practices: a small chart of speed and dash:dot over time, a table of each
// practice's figures (newest first), and each practice's report opened from its row (Enter,
// a double click or the button).
class SendingPanel : public QWidget {
    Q_OBJECT
  public:
    explicit SendingPanel(QWidget* parent = nullptr);

    // Oldest first, as ReadSendingSessions gives them; note: why there are none, if there are.
    void showSessions(const QList<SendingSession>& sessions, const QString& note);

    // The report of the table's row, in a window of its own that goes when closed.
    FistReportWindow* openReport(int row);

    QTableWidget* table() const { return m_table; }

  private:
    QList<SendingSession> m_sessions;  // newest first, as the table lists them
    QChart* m_chart = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_wpmAxis = nullptr;
    QValueAxis* m_ratioAxis = nullptr;
    QChartView* m_view = nullptr;
    QLabel* m_note = nullptr;
    QTableWidget* m_table = nullptr;
    QPushButton* m_open = nullptr;
};
