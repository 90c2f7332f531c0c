#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Tells the user that the callsign, the peer address or both are missing before a link.
class NoCallsignOrIpDialog : public QDialog {
    Q_OBJECT
  public:
    NoCallsignOrIpDialog(bool callsignMissing, bool addressMissing, QWidget* parent = nullptr);

  private:
    QLabel* m_label;
    QPushButton* m_okButton;
};
