#pragma once

#include <QObject>

class QLineEdit;

// Keeps the tone box to digits while typing and within 100 ... 6000 Hz once it
// loses the focus.
class ToneTextFilter : public QObject {
    Q_OBJECT
  public:
    explicit ToneTextFilter(QLineEdit* toneText, QObject* parent = nullptr);

    // The check made when the box loses the focus.
    void MainForm_ToneText_LostFocus();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* m_toneText;
};
