#pragma once

#include <QDialog>

// The small notice "完了！" shown for a moment after the settings were saved.
class Dialog : public QDialog {
    Q_OBJECT
  public:
    explicit Dialog(QWidget* parent = nullptr);
};
