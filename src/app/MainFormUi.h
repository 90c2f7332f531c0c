#pragma once

#include "app/PartnerUi.h"
#include "help/HelpUi.h"
#include "history/HistoryUi.h"
#include "morse/SoundUi.h"
#include "net/LinkUi.h"
#include "practice/LessonUi.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;

// Every control of the main window, named as the rest of the program names them (each also
// carries that name as its objectName). Each subsystem declares the controls it owns and is
// handed only that part (and the parts below it that it reads); the window's own are the save
// button, the status bar and the end entry. setupUi builds and lays them all out in their design
// state; behaviour is attached by the main window.
struct MainFormUi : SoundUi, LinkUi, LessonUi, HistoryUi, HelpUi, PartnerUi {
    void setupUi(QMainWindow* window);

    QPushButton* SaveSetButton_Command = nullptr;  // "設定保存"

    // Status bar: the program's own notices (sound on or off)
    QLabel* soundStatusLabel = nullptr;
    QLabel* bandStatusLabel = nullptr;

    // Sending practice: the menu the sending menu object answers.
    QMenu* mnuSending = nullptr;
    QAction* mnuSendingPractice = nullptr;
    QAction* mnuSendingInput = nullptr;

    QAction* mnuEnd = nullptr;
};
