#pragma once

#include <QDialog>

#include "core/morse/FistReport.h"

class QTableWidget;
class QPushButton;

// 送信の評価: how the learner keyed in one practice, as a picture of their mark and gap lengths
// and as a table of the same figures for screen readers. Tab goes table, close button and
// round; Esc closes.
class FistReportWindow : public QDialog {
    Q_OBJECT
  public:
    // about: which practice it was (its time and mode), shown above the picture; may be empty.
    explicit FistReportWindow(const FistReport& report, const QString& about = {},
                              QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }

  private:
    QTableWidget* m_table;
    QPushButton* m_close;
};
