#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "core/lesson/Grading.h"

class QGroupBox;
class QLabel;
class QPushButton;

// The result window "聞き取り成績" after a Step lesson: the counts, a grade picture (the
// window's icon, shown in the window too) and the letters and digits answered wrongly. However
// it is closed, it empties the miss tally, so the next result starts from zero.
class ResultForm : public QDialog {
    Q_OBJECT
  public:
    // played and correct are the captions of the main window's Label4 and Label2; pictureDir is
    // where the user's own grade pictures are looked up (the current directory).
    ResultForm(const QString& played, const QString& correct, std::array<qint16, 36>& missTally,
               QString pictureDir, QWidget* parent = nullptr);

    QLabel* SyutudaiLabel = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* SeikaiLabel = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* HuseikaiListLabel = nullptr;
    QLabel* gradePicture = nullptr;
    QPushButton* CloseButton = nullptr;

    // The list as built, with its CR, CR, LF breaks; shown with one line break each.
    const QString& HuseikaiList_Buf() const { return m_huseikaiListBuf; }
    qint16 Cr_Counter() const { return m_crCounter; }

    void Form_Load();
    void CloseButton_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void showGradePicture(Grade grade);
    void resetTally();

    std::array<qint16, 36>& m_missTally;
    QString m_pictureDir;
    QString m_huseikaiListBuf;
    qint16 m_crCounter = 0;
};
