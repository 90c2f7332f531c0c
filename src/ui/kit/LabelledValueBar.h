#pragma once

#include <QPointer>
#include <QScrollBar>

class QLabel;

// A horizontal scroll bar whose label beside it shows its value as another figure. Screen readers
// are given the label's figure: the value they read and set is the bar's value times the scale,
// and the label's text is the description, so what is heard is what is shown. The fine
// adjustment's scale is -1 (its value stretches durations, its label shows the change of speed,
// so "+ 5%" on screen is never read as -5); the WAV volume's is 2 (level 3 is shown as [音量6]).
class LabelledValueBar : public QScrollBar {
    Q_OBJECT
  public:
    explicit LabelledValueBar(int scale, QWidget* parent = nullptr);

    // The label whose text describes the value.
    void setValueLabel(QLabel* label) { m_label = label; }
    QString valueDescription() const;
    int scale() const { return m_scale; }

    // Registers the accessible interface of this class with Qt. Safe to call again.
    static void installAccessibility();

  private:
    int m_scale;
    QPointer<QLabel> m_label;
};
