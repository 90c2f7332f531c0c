#pragma once

#include "ui/app/PartnerUi.h"
#include "ui/help/HelpUi.h"
#include "ui/history/HistoryUi.h"
#include "ui/lesson/LessonUi.h"
#include "ui/link/LinkUi.h"
#include "ui/morse/SoundUi.h"

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
    QAction* mnuSendingFromSound = nullptr;
    QAction* mnuSendingInput = nullptr;

    QAction* mnuEnd = nullptr;
};
