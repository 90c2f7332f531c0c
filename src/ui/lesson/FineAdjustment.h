#pragma once

#include <QObject>

class QLabel;
class QScrollBar;

// The speed fine adjustment: its scroll bar and the label that shows it.
class FineAdjustment : public QObject {
    Q_OBJECT
  public:
    FineAdjustment(QScrollBar* scroll, QLabel* label, QObject* parent = nullptr);

    void MainForm_Speed_HScroll_Change();
    void MainForm_Speed_HScroll_Scroll(int position);

    // Shows the change of speed for a step value; any other value leaves the label.
    void FineAdjustLabel(int value);

  private:
    void snapToStep();

    QScrollBar* m_scroll;
    QLabel* m_label;
};
