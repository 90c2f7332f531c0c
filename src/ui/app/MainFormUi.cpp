#include "ui/app/MainFormUi.h"

#include "core/kit/SharedTexts.h"
#include "core/kit/SpeedTable.h"
#include "ui/app/MainFormKeyboard.h"
#include "ui/kit/AccessibleValueLabel.h"
#include "ui/kit/CheckableMenuEntry.h"
#include "ui/kit/LabelledValueBar.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSize>
#include <QStatusBar>
#include <QStringView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int answerColumns = 6;

constexpr qreal displayPointSize = 40;
constexpr qreal countPointSize = 14;
constexpr qreal answerKeyScale = 1.3;

// Room for the longest role and status lines without the window growing when they change.
constexpr int statusLineCharacters = 24;

// Fits a 1024 x 768 screen with its title bar and panel.
constexpr QSize initialWindowSize(1000, 700);

QPushButton* makeButton(const QString& name, const QString& caption, const QString& toolTip = {}) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    return button;
}

QRadioButton* makeOption(const QString& name, const QString& caption, QButtonGroup* group) {
    auto* option = new QRadioButton(caption);
    option->setObjectName(name);
    group->addButton(option);
    return option;
}

QButtonGroup* makeGroup(QMainWindow* window, const QString& name) {
    auto* group = new QButtonGroup(window);
    group->setObjectName(name);
    group->setExclusive(true);
    return group;
}

QGroupBox* makeFrame(const QString& name, const QString& title,
                     const QString& accessibleName = {}) {
    auto* frame = new QGroupBox(title);
    frame->setObjectName(name);
    // Said outright: a nameless frame inside another frame would take the outer one's title.
    frame->setAccessibleName(accessibleName.isEmpty() ? title : accessibleName);
    return frame;
}

QLabel* makeCaption(const QString& name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* makeValueLabel(const QString& name, const QString& accessibleName,
                       const QString& text = {}) {
    auto* label = new AccessibleValueLabel(accessibleName);
    label->setObjectName(name);
    label->setText(text);
    return label;
}

// A one-line field that shows a status: framed so it is visible while empty, and ignoring
// its text's width so that a long text does not resize the window.
QLabel* makeStatusField(const QString& name, const QString& accessibleName, const QFont& font) {
    QLabel* label = makeValueLabel(name, accessibleName);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMargin(2);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumWidth(QFontMetrics(font).averageCharWidth() * statusLineCharacters);
    return label;
}

QLineEdit* makeLineEdit(const QString& name, const QString& accessibleName,
                        const QString& toolTip = {}) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setToolTip(toolTip);
    return edit;
}

QPlainTextEdit* makeReadOnlyText(const QString& name, const QString& accessibleName) {
    auto* text = new QPlainTextEdit;
    text->setObjectName(name);
    text->setAccessibleName(accessibleName);
    text->setReadOnly(true);
    return text;
}

QFont scaledFont(const QFont& base, qreal pointSize, bool bold) {
    QFont font(base);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool trailingStretch = false) {
    auto* layout = new QHBoxLayout;
    for (QWidget* widget : widgets) {
        layout->addWidget(widget);
    }
    if (trailingStretch) {
        layout->addStretch();
    }
    return layout;
}

QString answerButtonName(QChar character) {
    return character.isDigit() ? u"Num"_s + character + u"_Button"_s
                               : QString(character) + u"_Button"_s;
}

// Six to a row: A-F, G-L, M-R, S-X, Y Z 1-4, 5-9 0.
QGridLayout* buildAnswerButtons(LessonUi& ui, const QFont& font) {
    auto* grid = new QGridLayout;
    const QFont keyFont = scaledFont(font, font.pointSizeF() * answerKeyScale, true);
    const int keySize = QFontMetrics(keyFont).height() * 2;
    for (int index = 0; index < kAnswerButtonCharacters.size(); ++index) {
        const QChar character = kAnswerButtonCharacters[index];
        QPushButton* button = makeButton(answerButtonName(character), QString(character));
        button->setFont(keyFont);
        button->setMinimumSize(keySize, keySize * 3 / 4);
        ui.answerButtons[static_cast<std::size_t>(index)] = button;
        grid->addWidget(button, index / answerColumns, index % answerColumns);
    }
    return grid;
}

QLabel* makeDisplay(const QFont& font) {
    QLabel* display = makeValueLabel(u"Label1"_s, u"受信文字"_s);
    const QFont displayFont = scaledFont(font, displayPointSize, true);
    const QFontMetrics metrics(displayFont);
    display->setFont(displayFont);
    display->setAlignment(Qt::AlignCenter);
    display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // A fixed room for a few characters, so a new text never moves the other controls.
    display->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    display->setMinimumSize(metrics.horizontalAdvance(u"ＷＷＷＷ"_s), metrics.height() * 3 / 2);
    return display;
}

QLabel* makeCount(const QString& name, const QString& accessibleName, const QFont& font) {
    QLabel* count = makeValueLabel(name, accessibleName);
    const QFont countFont = scaledFont(font, countPointSize, true);
    count->setFont(countFont);
    count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    count->setMinimumWidth(QFontMetrics(countFont).horizontalAdvance(u" 00000"_s));
    return count;
}

QGroupBox* wrapInFrame(QGroupBox* frame, QWidget* content) {
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(content);
    return frame;
}

// Below the score list and the model answer: the copy box, and beside it the comparison.
QGroupBox* buildCopyArea(LessonUi& ui) {
    const QString title = u"受信メモ（入力は相手に送られません）"_s;
    ui.copyFrame = makeFrame(u"copyFrame"_s, title, title + u"の枠"_s);
    ui.CopyText = new QPlainTextEdit;
    ui.CopyText->setObjectName(u"CopyText"_s);
    ui.CopyText->setAccessibleName(title);
    ui.CopyText->setEnabled(false);  // until Normal mode is chosen: Step mode's keys answer
    ui.CopyResult = makeReadOnlyText(u"CopyResult"_s, u"受信メモと問題の比較"_s);
    ui.CopyResult->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui.CopyScore = makeValueLabel(u"CopyScore"_s, u"受信メモの得点"_s);
    ui.CopyScore->setTextFormat(Qt::PlainText);
    const int lines = QFontMetrics(ui.CopyText->font()).lineSpacing() * 4;
    ui.CopyText->setMaximumHeight(lines);
    ui.CopyResult->setMaximumHeight(lines);
    auto* compared = new QVBoxLayout;
    compared->addWidget(ui.CopyResult);
    compared->addWidget(ui.CopyScore);
    auto* layout = new QHBoxLayout(ui.copyFrame);
    layout->addWidget(ui.CopyText, 1);
    layout->addLayout(compared, 1);
    return ui.copyFrame;
}

QWidget* buildLessonArea(LessonUi& ui, const QFont& font) {
    QGroupBox* frame = makeFrame(u"lessonFrame"_s, u"受信練習"_s);
    auto* layout = new QVBoxLayout(frame);

    ui.Label1 = makeDisplay(font);
    layout->addWidget(ui.Label1);

    ui.Label4 = makeCount(u"Label4"_s, u"出題数"_s, font);
    ui.Label5 = makeCaption(u"Label5"_s, u"問出題"_s);
    ui.Label2 = makeCount(u"Label2"_s, u"正解数"_s, font);
    ui.Label3 = makeCaption(u"Label3"_s, u"問正解"_s);
    auto* counts = new QHBoxLayout;
    counts->addStretch();
    counts->addWidget(ui.Label4);
    counts->addWidget(ui.Label5);
    counts->addSpacing(QFontMetrics(font).height() * 2);
    counts->addWidget(ui.Label2);
    counts->addWidget(ui.Label3);
    counts->addStretch();
    layout->addLayout(counts);

    ui.StartButton_Command = makeButton(u"StartButton_Command"_s, StartCaption::kStart);
    ui.StopButton_Command = makeButton(u"StopButton_Command"_s, StopCaption::kStop);
    ui.KaitoupassButton_Command = makeButton(u"KaitoupassButton_Command"_s, u"解答パス"_s);
    ui.KaitoupassButton_Command->setEnabled(false);
    layout->addLayout(
        row({ui.StartButton_Command, ui.StopButton_Command, ui.KaitoupassButton_Command}));

    layout->addLayout(buildAnswerButtons(ui, font));

    ui.ScoreList = new QListWidget;
    ui.ScoreList->setObjectName(u"ScoreList"_s);
    ui.ScoreList->setAccessibleName(u"成績表"_s);
    ui.scoreFrame =
        wrapInFrame(makeFrame(u"scoreFrame"_s, u"成績表"_s, u"成績表の枠"_s), ui.ScoreList);
    ui.AnswerText = makeReadOnlyText(u"AnswerText"_s, u"正解欄"_s);
    ui.answerFrame =
        wrapInFrame(makeFrame(u"answerFrame"_s, u"正解欄"_s, u"正解欄の枠"_s), ui.AnswerText);
    // The score lines are longer than the answer box needs to be wide.
    auto* results = row({ui.scoreFrame, ui.answerFrame});
    results->setStretch(0, 3);
    results->setStretch(1, 2);
    layout->addLayout(results, 1);
    layout->addWidget(buildCopyArea(ui));
    return frame;
}

// 20 at the left end and -20 at the right. A right-to-left bar puts the maximum on the left
// and keeps its arrows and track clicks moving the handle towards them; merely inverting the
// appearance would make the left arrow move the handle to the right.
QScrollBar* makeFineAdjustBar(QLabel* valueLabel) {
    auto* bar = new LabelledValueBar(-1);
    bar->setValueLabel(valueLabel);
    bar->setObjectName(u"Speed_HScroll"_s);
    bar->setAccessibleName(u"微調整"_s);
    bar->setLayoutDirection(Qt::RightToLeft);
    bar->setInvertedControls(false);  // so the arrow keys also move the handle their way
    bar->setRange(-20, 20);
    bar->setSingleStep(5);
    bar->setPageStep(5);
    bar->setValue(0);
    bar->setFocusPolicy(Qt::TabFocus);
    return bar;
}

QWidget* buildPracticeModes(MainFormUi& ui, QMainWindow* window) {
    ui.practiceModeGroup = makeGroup(window, u"practiceModeGroup"_s);
    QGroupBox* frame = makeFrame(u"practiceModeFrame"_s, u"練習モード"_s);
    auto* layout = new QVBoxLayout(frame);
    ui.StepMode_Option =
        makeOption(u"StepMode_Option"_s, u"ステップ受信モード"_s, ui.practiceModeGroup);
    ui.NormalMode_Option =
        makeOption(u"NormalMode_Option"_s, u"ノーマル受信モード"_s, ui.practiceModeGroup);
    ui.ChatMode_Option =
        makeOption(u"ChatMode_Option"_s, u"チャットモード"_s, ui.practiceModeGroup);
    layout->addWidget(ui.StepMode_Option);
    layout->addWidget(ui.NormalMode_Option);
    layout->addWidget(ui.ChatMode_Option);
    return frame;
}

QWidget* buildSpeeds(SoundUi& ui, QMainWindow* window) {
    ui.speedGroup = makeGroup(window, u"speedGroup"_s);
    QGroupBox* frame = makeFrame(u"speedFrame"_s, u"速度"_s);
    auto* layout = new QVBoxLayout(frame);
    for (std::size_t index = 0; index < kSpeeds.size(); ++index) {
        const Speed& speed = kSpeeds[index];
        QRadioButton* option = makeOption(u"Speed"_s + speed.text.toString() + u"_Option"_s,
                                          speed.caption.toString(), ui.speedGroup);
        ui.*kSpeedOptions[index] = option;
        layout->addWidget(option);
    }
    ui.Speed25_Option->setChecked(true);
    ui.SpeedFree_Option = makeOption(u"SpeedFree_Option"_s, u"自由な速度"_s, ui.speedGroup);
    ui.freeSpeedLabel = makeValueLabel(u"freeSpeedLabel"_s, u"自由な速度の値"_s);
    ui.freeSpeedButton = makeButton(u"freeSpeedButton"_s, u"設定..."_s,
                                    u"文字の速度、ファーンズワース、語間、プリセット"_s);
    ui.freeSpeedButton->setAccessibleName(u"自由な速度の設定"_s);
    layout->addWidget(ui.SpeedFree_Option);
    layout->addWidget(ui.freeSpeedLabel);
    layout->addWidget(ui.freeSpeedButton);

    ui.Label7 = makeValueLabel(u"Label7"_s, u"微調整の値"_s, u"微調整 ±0%"_s);
    ui.Speed_HScroll = makeFineAdjustBar(ui.Label7);
    layout->addSpacing(QFontMetrics(frame->font()).height() / 2);
    layout->addWidget(ui.Label7);
    layout->addWidget(ui.Speed_HScroll);
    return frame;
}

QWidget* buildTone(SoundUi& ui, const QFont& font) {
    ui.toneFrame = makeFrame(u"toneFrame"_s, u"トーン周波数"_s, u"トーン周波数の枠"_s);
    ui.ToneText = makeLineEdit(u"ToneText"_s, u"トーン周波数"_s);
    ui.ToneText->setText(u"800"_s);
    ui.ToneText->setMaximumWidth(QFontMetrics(font).horizontalAdvance(u"0000000"_s));
    ui.hzLabel = makeCaption(u"hzLabel"_s, u"Hz"_s);
    ui.toneTestButton = makeButton(u"toneTestButton"_s, u"テスト"_s);
    auto* layout = row({ui.ToneText, ui.hzLabel, ui.toneTestButton}, true);
    ui.toneFrame->setLayout(layout);
    return ui.toneFrame;
}

QLayout* buildPracticeSettings(MainFormUi& ui, QMainWindow* window, const QFont& font) {
    auto* column = new QVBoxLayout;
    column->addWidget(buildPracticeModes(ui, window));
    column->addWidget(buildSpeeds(ui, window));
    column->addWidget(buildTone(ui, font));
    ui.SaveSetButton_Command = makeButton(u"SaveSetButton_Command"_s, u"設定保存"_s,
                                          u"コールサイン・接続先IP・トーン・速度の保存"_s);
    column->addWidget(ui.SaveSetButton_Command);
    column->addStretch();
    return column;
}

QWidget* buildRoles(LinkUi& ui, QMainWindow* window) {
    ui.roleGroup = makeGroup(window, u"roleGroup"_s);
    QGroupBox* frame = makeFrame(u"roleFrame"_s, u"役割"_s);
    ui.TeacherOption = makeOption(u"TeacherOption"_s, u"出題者になる"_s, ui.roleGroup);
    ui.StudentOption = makeOption(u"StudentOption"_s, u"解答者になる"_s, ui.roleGroup);
    frame->setLayout(row({ui.TeacherOption, ui.StudentOption}, true));
    return frame;
}

QWidget* buildLink(LinkUi& ui, QMainWindow* window, const QFont& font) {
    QGroupBox* frame = makeFrame(u"linkFrame"_s, u"ネット接続"_s);
    auto* grid = new QGridLayout(frame);

    ui.callsignLabel = makeCaption(u"callsignLabel"_s, u"コールサイン"_s);
    ui.CallsignText = makeLineEdit(u"CallsignText"_s, u"コールサイン"_s);
    ui.callsignLabel->setBuddy(ui.CallsignText);
    grid->addWidget(ui.callsignLabel, 0, 0);
    grid->addWidget(ui.CallsignText, 0, 1);

    ui.IPLabel = makeCaption(u"IPLabel"_s, u"接続先IP"_s);
    ui.ConnectIpText =
        makeLineEdit(u"ConnectIpText"_s, u"接続先IP"_s, u"ダブルクリックでアドレスクリア"_s);
    ui.IPLabel->setBuddy(ui.ConnectIpText);
    grid->addWidget(ui.IPLabel, 1, 0);
    grid->addWidget(ui.ConnectIpText, 1, 1);

    ui.ListenButton = makeButton(u"ListenButton"_s, u"待受"_s);
    ui.ConnectButton = makeButton(u"ConnectButton"_s, u"接続"_s);
    ui.CloseButton = makeButton(u"CloseButton"_s, u"切断"_s);
    grid->addLayout(row({ui.ListenButton, ui.ConnectButton, ui.CloseButton}), 2, 0, 1, 2);

    ui.StatusLabel = makeStatusField(u"StatusLabel"_s, u"接続状態"_s, font);
    ui.TeacherLabel = makeStatusField(u"TeacherLabel"_s, u"出題者"_s, font);
    ui.StudentLabel = makeStatusField(u"StudentLabel"_s, u"解答者"_s, font);
    grid->addWidget(ui.StatusLabel, 3, 0, 1, 2);
    grid->addWidget(ui.TeacherLabel, 4, 0, 1, 2);
    grid->addWidget(ui.StudentLabel, 5, 0, 1, 2);
    grid->addWidget(buildRoles(ui, window), 6, 0, 1, 2);
    return frame;
}

QWidget* buildIpDisplay(LinkUi& ui, const QFont& font) {
    ui.IpFrame = makeFrame(u"IpFrame"_s, u"IPアドレス表示"_s);
    ui.DispIpLabel = makeStatusField(u"DispIpLabel"_s, u"自局IPアドレス"_s, font);
    ui.DispIpLabel->setMinimumWidth(QFontMetrics(font).horizontalAdvance(u"000.000.000.000"_s));
    ui.SearchIpButton = makeButton(u"SearchIpButton"_s, u"コピー"_s, u"左のIPアドレスをコピー"_s);
    ui.CheckGrovalIpButton =
        makeButton(u"CheckGrovalIpButton"_s, u"WebでIPチェック"_s, u"グローバルIPアドレスを確認"_s);
    auto* layout = row({ui.DispIpLabel, ui.SearchIpButton, ui.CheckGrovalIpButton});
    layout->setStretch(0, 1);
    ui.IpFrame->setLayout(layout);
    return ui.IpFrame;
}

QWidget* buildChat(LinkUi& ui, QMainWindow* window) {
    QGroupBox* frame = makeFrame(u"chatFrame"_s, u"チャット"_s);
    auto* layout = new QVBoxLayout(frame);

    ui.chatKindGroup = makeGroup(window, u"chatKindGroup"_s);
    QGroupBox* kinds = makeFrame(u"chatKindFrame"_s, u"チャット種別"_s);
    ui.optionMoji = makeOption(u"optionMoji"_s, u"文字"_s, ui.chatKindGroup);
    ui.optionCw = makeOption(u"optionCw"_s, u"CW"_s, ui.chatKindGroup);
    kinds->setLayout(row({ui.optionMoji, ui.optionCw}, true));
    layout->addWidget(kinds);

    ui.ChatText = makeReadOnlyText(u"ChatText"_s, u"チャット・ログ"_s);
    layout->addWidget(ui.ChatText, 1);

    ui.SendMessageText = makeLineEdit(u"SendMessageText"_s, u"送信メッセージ"_s);
    ui.SendMessageButton = makeButton(u"SendMessageButton"_s, u"送信"_s);
    auto* send = row({ui.SendMessageText, ui.SendMessageButton});
    send->setStretch(0, 1);
    layout->addLayout(send);
    return frame;
}

// The peer's address, the option to take only the peer address, the stop for received CW.
QWidget* buildPeer(LinkUi& ui, const QFont& font) {
    ui.peerFrame = makeFrame(u"peerFrame"_s, u"接続相手"_s);
    ui.PeerIpLabel = makeStatusField(u"PeerIpLabel"_s, u"接続相手のIPアドレス"_s, font);
    ui.PeerIpLabel->setTextFormat(Qt::PlainText);
    ui.AcceptOnlyPeerCheck = new QCheckBox(u"接続先IPからの接続だけ受け付ける(&Y)"_s);
    ui.AcceptOnlyPeerCheck->setObjectName(u"AcceptOnlyPeerCheck"_s);
    ui.AcceptOnlyPeerCheck->setToolTip(u"待受中、接続先IP以外からの接続を断ります"_s);
    ui.StopCwReceiveButton = makeButton(u"StopCwReceiveButton"_s, u"受信CW停止(&Q)"_s,
                                        u"受信中のCWチャットを止めます"_s);
    ui.StopCwReceiveButton->setAccessibleDescription(ui.StopCwReceiveButton->toolTip());
    ui.StopCwReceiveButton->setEnabled(false);
    auto* layout = new QVBoxLayout(ui.peerFrame);
    layout->addWidget(ui.PeerIpLabel);
    layout->addLayout(row({ui.AcceptOnlyPeerCheck, ui.StopCwReceiveButton}));
    return ui.peerFrame;
}

QLayout* buildLinkAndChat(LinkUi& ui, QMainWindow* window, const QFont& font) {
    auto* column = new QVBoxLayout;
    column->addWidget(buildLink(ui, window, font));
    column->addWidget(buildIpDisplay(ui, font));
    column->addWidget(buildPeer(ui, font));
    column->addWidget(buildChat(ui, window), 1);
    return column;
}

QMenu* addMenu(QMenuBar* bar, const QString& name, const QString& title) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(name);
    return menu;
}

QAction* addEntry(QWidget* menu, const QString& name, const QString& caption,
                  bool checkable = false) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(name);
    action->setCheckable(checkable);
    menu->addAction(action);
    return action;
}

void buildMenus(MainFormUi& ui, QMenuBar* bar) {
    ui.mnuSound = addMenu(bar, u"mnuSound"_s, u"サウンド切替・設定(&S)"_s);
    ui.mnuSoundWave = addEntry(ui.mnuSound, u"mnuSoundWave"_s, u"Wave音(&W)"_s, true);
    ui.mnuSoundBeep = addEntry(ui.mnuSound, u"mnuSoundBeep"_s, u"Beep音(WinXP/2000用)(&B)"_s, true);
    ui.mnuSeparator = ui.mnuSound->addSeparator();
    ui.mnuSeparator->setObjectName(u"mnuSeparator"_s);
    ui.mnuSoundQuarity = addEntry(ui.mnuSound, u"mnuSoundQuarity"_s, u"Wave音質設定(&Q)"_s);
    ui.mnuSoundBand = addEntry(ui.mnuSound, u"mnuSoundBand"_s, u"バンドコンディション(&C)..."_s);

    ui.mnuMojiHanni = addMenu(bar, u"mnuMojiHanni"_s, u"出題文字範囲設定(&M)"_s);
    ui.mnuMojiHanniAtoE = addEntry(ui.mnuMojiHanni, u"mnuMojiHanniAtoE"_s, u"A～E(&A)"_s, true);
    ui.mnuMojiHanniFtoJ = addEntry(ui.mnuMojiHanni, u"mnuMojiHanniFtoJ"_s, u"F～J(&F)"_s, true);
    ui.mnuMojiHanniKtoO = addEntry(ui.mnuMojiHanni, u"mnuMojiHanniKtoO"_s, u"K～O(&K)"_s, true);
    ui.mnuMojiHanniPtoT = addEntry(ui.mnuMojiHanni, u"mnuMojiHanniPtoT"_s, u"P～T(&P)"_s, true);
    ui.mnuMojiHanniUtoZ = addEntry(ui.mnuMojiHanni, u"mnuMojiHanniUtoZ"_s, u"U～Z(&U)"_s, true);
    ui.mnuMojiHanniAll =
        addEntry(ui.mnuMojiHanni, u"mnuMojiHanniAll"_s, u"全アルファベット(&Z)"_s, true);

    ui.mnuNet = addMenu(bar, u"mnuNet"_s, u"ネットモード切替(&M)"_s);
    ui.mnuNetTeacherMode = addEntry(ui.mnuNet, u"mnuNetTeacherMode"_s, u"先生モード(&T)"_s, true);
    ui.mnuNetStudentMode = addEntry(ui.mnuNet, u"mnuNetStudentMode"_s, u"学生モード(&N)"_s, true);

    ui.mnuPartner = addMenu(bar, u"mnuPartner"_s, u"練習相手(&R)"_s);
    ui.mnuPartnerSolo = addEntry(ui.mnuPartner, u"mnuPartnerSolo"_s, u"ひとりで練習(&P)"_s);

    ui.mnuSending = addMenu(bar, u"mnuSending"_s, u"送信練習(&O)"_s);
    ui.mnuSendingPractice = addEntry(ui.mnuSending, u"mnuSendingPractice"_s, u"送信練習(&P)..."_s);
    ui.mnuSendingFromSound =
        addEntry(ui.mnuSending, u"mnuSendingFromSound"_s, u"音声から解読(&D)..."_s);
    ui.mnuSendingInput = addEntry(ui.mnuSending, u"mnuSendingInput"_s, u"キー入力の設定(&I)..."_s);

    ui.mnuRecord = addMenu(bar, u"mnuRecord"_s, u"記録(&K)"_s);
    ui.mnuRecordHistory = addEntry(ui.mnuRecord, u"mnuRecordHistory"_s, u"成績履歴(&G)..."_s);

    ui.mnuHelp = addMenu(bar, u"mnuHelp"_s, u"ヘルプ(&H)"_s);
    ui.mnuHelpReadme = addEntry(ui.mnuHelp, u"mnuHelpReadme"_s, u"ReadMe.txtを開く(&T)"_s);
    ui.mnuHelpOnline = addEntry(ui.mnuHelp, u"mnuHelpOnline"_s, u"オンラインヘルプを見る(&O)"_s);
    ui.mnuHelpAbout = addEntry(ui.mnuHelp, u"mnuHelpAbout"_s, u"バージョン情報(&A)"_s);

    ui.mnuEnd = addEntry(bar, u"mnuEnd"_s, u"終了(&X)"_s);
}

void useJapaneseFont(QMainWindow* window) {
    const QString family = u"IPAGothic"_s;
    if (!QFontDatabase::families().contains(family)) {
        return;
    }
    QFont font = window->font();
    font.setFamily(family);
    window->setFont(font);
}

}  // namespace

void MainFormUi::setupUi(QMainWindow* window) {
    AccessibleValueLabel::installAccessibility();
    window->setWindowTitle(kApplicationTitle);
    useJapaneseFont(window);
    const QFont font = window->font();

    buildMenus(*this, window->menuBar());
    // Menus are windows of their own and do not inherit the window's font.
    for (QMenu* menu :
         {mnuSound, mnuMojiHanni, mnuNet, mnuPartner, mnuSending, mnuRecord, mnuHelp}) {
        menu->setFont(font);
    }

    auto* central = new QWidget(window);
    central->setObjectName(u"centralWidget"_s);
    auto* columns = new QHBoxLayout(central);
    columns->addWidget(buildLessonArea(*this, font), 5);
    columns->addLayout(buildPracticeSettings(*this, window, font), 0);
    columns->addLayout(buildLinkAndChat(*this, window, font), 4);
    window->setCentralWidget(central);

    soundStatusLabel =
        makeValueLabel(u"soundStatusLabel"_s, u"サウンド状態"_s, u"サウンド: 確認中…"_s);
    window->statusBar()->addWidget(soundStatusLabel, 1);
    bandStatusLabel =
        makeValueLabel(u"bandStatusLabel"_s, u"バンドコンディション状態"_s, u"バンド: なし"_s);
    window->statusBar()->addWidget(bandStatusLabel, 1);

    ExposeCheckableMenuEntries();
    SetUpKeyboard(*this);
    window->resize(initialWindowSize.expandedTo(window->minimumSizeHint()));
}
