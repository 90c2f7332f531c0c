#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The about box: the program's icon, title and version, a short description with the home page,
// and a button that opens the home page. A fixed-size dialog.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(const QString& homePage, QWidget* parent = nullptr);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdGotoHomesite = nullptr;

  signals:
    // cmdGotoHomesite: the box stays open.
    void homePageWanted();
};
