#include "ui/app/MainFormKeyboard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWidget>
#include <vector>

#include "ui/app/MainFormUi.h"
#include "ui/kit/OptionGroupKeys.h"

namespace {

// Letters clear of the menu bar's own (S, M, R, O, K, H) and of the check boxes' (Y, Q, J).
void SetAccessKeys(const MainFormUi& ui) {
    const std::pair<QPushButton*, Qt::Key> keys[] = {
        {ui.ListenButton, Qt::Key_L},        {ui.ConnectButton, Qt::Key_C},
        {ui.CloseButton, Qt::Key_D},         {ui.StartButton_Command, Qt::Key_G},
        {ui.StopButton_Command, Qt::Key_T},  {ui.KaitoupassButton_Command, Qt::Key_P},
        {ui.toneTestButton, Qt::Key_E},      {ui.SaveSetButton_Command, Qt::Key_V},
        {ui.SendMessageButton, Qt::Key_N},   {ui.SearchIpButton, Qt::Key_I},
        {ui.CheckGrovalIpButton, Qt::Key_W}, {ui.freeSpeedButton, Qt::Key_F},
    };
    for (const auto& [button, key] : keys) {
        button->setShortcut(QKeySequence(Qt::ALT | key));
    }
}

}  // namespace

void SetUpKeyboard(MainFormUi& ui) {
    std::vector<QWidget*> chain = {
        ui.CallsignText,
        ui.ConnectIpText,
        ui.AcceptOnlyPeerCheck,
        ui.ListenButton,
        ui.ConnectButton,
        ui.CloseButton,
        ui.TeacherOption,
        ui.StudentOption,
        ui.StepMode_Option,
        ui.NormalMode_Option,
        ui.ChatMode_Option,
        ui.Speed25_Option,
        ui.Speed45_Option,
        ui.Speed60_Option,
        ui.SpeedFree_Option,
        ui.freeSpeedButton,
        ui.Speed_HScroll,
        ui.ToneText,
        ui.toneTestButton,
        ui.SaveSetButton_Command,
        ui.StartButton_Command,
        ui.StopButton_Command,
        ui.KaitoupassButton_Command,
        ui.ScoreList,
        ui.AnswerText,
        ui.CopyText,
        ui.CopyResult,
        ui.optionMoji,
        ui.optionCw,
        ui.ChatText,
        ui.SendMessageText,
        ui.SendMessageButton,
        ui.StopCwReceiveButton,
        ui.SearchIpButton,
        ui.CheckGrovalIpButton,
    };
    chain.insert(chain.end(), ui.answerButtons.begin(), ui.answerButtons.end());
    for (std::size_t i = 1; i < chain.size(); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
    // Read-only boxes are read with the keys too; Tab leaves them rather than typing.
    ui.AnswerText->setTabChangesFocus(true);
    ui.CopyText->setTabChangesFocus(true);
    ui.CopyResult->setTabChangesFocus(true);
    ui.ChatText->setTabChangesFocus(true);
    SetAccessKeys(ui);
    // A lesson starts from the callsign; the window would otherwise open on its first button.
    ui.CallsignText->setFocus(Qt::OtherFocusReason);
    for (QButtonGroup* group :
         {ui.roleGroup, ui.practiceModeGroup, ui.speedGroup, ui.chatKindGroup}) {
        ChooseWithArrowKeys(group);
    }
}
