#pragma once

#include <QWidget>

#include "core/morse/FistReport.h"

// Histograms of the learner's mark and gap lengths in units of their own dot, with the
// standard lengths marked (1 and 3 for marks, 1, 3 and 7 for gaps). Painted, so it draws as
// well without a screen; the keyboard passes it by, as the table beside it holds the figures.
class FistReportPicture : public QWidget {
    Q_OBJECT
  public:
    explicit FistReportPicture(const FistReport& report, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {560, 340}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    FistReport m_report;
};
