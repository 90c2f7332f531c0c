#pragma once

#include <QChar>
#include <array>
#include <optional>

#include "core/kit/LessonState.h"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The main window's lesson: its three buttons, the display and the counts, the score list and
// the model answer box, the 36 answer buttons, the two receive modes and the question character
// range menu.
struct LessonUi {
    // The answer button for "A" ... "Z" or "0" ... "9" (either case); null otherwise.
    QPushButton* answerButton(QChar character) const;

    QPushButton* StartButton_Command = nullptr;       // "スタート"
    QPushButton* StopButton_Command = nullptr;        // "ストップ"
    QPushButton* KaitoupassButton_Command = nullptr;  // "解答パス"
    QLabel* Label1 = nullptr;         // large display of the call-up character and answer feedback
    QLabel* Label4 = nullptr;         // played count
    QLabel* Label5 = nullptr;         // "問出題"
    QLabel* Label2 = nullptr;         // correct count
    QLabel* Label3 = nullptr;         // "問正解"
    QGroupBox* scoreFrame = nullptr;  // "成績表"
    QListWidget* ScoreList = nullptr;
    QGroupBox* answerFrame = nullptr;  // "正解欄"
    QPlainTextEdit* AnswerText = nullptr;
    // The learner's own copy of a Normal question, never sent, and how it compares.
    QGroupBox* copyFrame = nullptr;  // "受信メモ（入力は相手に送られません）"
    QPlainTextEdit* CopyText = nullptr;
    QPlainTextEdit* CopyResult = nullptr;  // the question over the copy, marked up
    QLabel* CopyScore = nullptr;           // "12文字中10文字正解（編集距離 3）"
    // A_Button ... Z_Button, then Num1_Button ... Num9_Button, Num0_Button.
    std::array<QPushButton*, 36> answerButtons{};

    // The receive modes; their group holds chat mode too, which the link owns.
    QRadioButton* StepMode_Option = nullptr;    // "ステップ受信モード"
    QRadioButton* NormalMode_Option = nullptr;  // "ノーマル受信モード"
    QButtonGroup* practiceModeGroup = nullptr;

    QMenu* mnuMojiHanni = nullptr;
    QAction* mnuMojiHanniAtoE = nullptr;
    QAction* mnuMojiHanniFtoJ = nullptr;
    QAction* mnuMojiHanniKtoO = nullptr;
    QAction* mnuMojiHanniPtoT = nullptr;
    QAction* mnuMojiHanniUtoZ = nullptr;
    QAction* mnuMojiHanniAll = nullptr;
};

// The lesson's state, and the main button and the stop button showing it.
void ShowMainButton(const LessonUi& ui, LessonState& lesson, MainButton state);
void ShowStopButton(const LessonUi& ui, LessonState& lesson, StopButton state);
// The two count labels showing the lesson's counts.
void ShowPlayedCount(const LessonUi& ui, LessonState& lesson, std::optional<int> count);
void ShowCorrectCount(const LessonUi& ui, LessonState& lesson, std::optional<int> count);
