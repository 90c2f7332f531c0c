#pragma once

#include <QPointer>
#include <QScrollBar>

class QLabel;

// The fine-adjustment bar. Its value stretches every duration (20 at the left end is the slowest),
// while its label shows the change of speed, the opposite sign. Screen readers are given the
// label's figure: the value they read and set is the change of speed in per cent, and the label's
// text is the description, so "+ 5%" on screen is never read as -5.
class FineAdjustBar : public QScrollBar {
    Q_OBJECT
  public:
    explicit FineAdjustBar(QWidget* parent = nullptr);

    // The label whose text describes the value.
    void setValueLabel(QLabel* label) { m_label = label; }
    QString valueDescription() const;

    // Registers the accessible interface of this class with Qt. Safe to call again.
    static void installAccessibility();

  private:
    QPointer<QLabel> m_label;
};
