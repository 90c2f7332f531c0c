#pragma once

#include <QString>
#include <array>

class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

// Every control of the main window, named as the rest of the program names
// them (each also carries that name as its objectName). setupUi builds and lays
// them out in their design state; behaviour is attached by the main window.
struct MainFormUi {
    void setupUi(QMainWindow* window);

    // The answer button for "A" ... "Z" or "0" ... "9" (either case); null otherwise.
    QPushButton* answerButton(QChar character) const;

    // Lesson
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
    // A_Button ... Z_Button, then Num1_Button ... Num9_Button, Num0_Button.
    std::array<QPushButton*, 36> answerButtons{};

    // Roles, practice modes, chat kinds, speeds (each group exclusive)
    QRadioButton* TeacherOption = nullptr;      // "出題者になる"
    QRadioButton* StudentOption = nullptr;      // "解答者になる"
    QRadioButton* StepMode_Option = nullptr;    // "ステップ受信モード"
    QRadioButton* NormalMode_Option = nullptr;  // "ノーマル受信モード"
    QRadioButton* ChatMode_Option = nullptr;    // "チャットモード"
    QRadioButton* optionMoji = nullptr;         // "文字"
    QRadioButton* optionCw = nullptr;           // "CW"
    QRadioButton* Speed25_Option = nullptr;     // "毎分２５文字"
    QRadioButton* Speed45_Option = nullptr;     // "毎分４５文字"
    QRadioButton* Speed60_Option = nullptr;     // "毎分６０文字"
    QButtonGroup* roleGroup = nullptr;
    QButtonGroup* practiceModeGroup = nullptr;
    QButtonGroup* chatKindGroup = nullptr;
    QButtonGroup* speedGroup = nullptr;

    // Speed fine adjustment: 20 at the left end, -20 at the right, steps of 5
    QScrollBar* Speed_HScroll = nullptr;
    QLabel* Label7 = nullptr;  // "微調整 ±0%"

    // Tone
    QGroupBox* toneFrame = nullptr;         // "トーン周波数"
    QLineEdit* ToneText = nullptr;          // "800"
    QLabel* hzLabel = nullptr;              // "Hz"
    QPushButton* toneTestButton = nullptr;  // "テスト"

    // Settings
    QPushButton* SaveSetButton_Command = nullptr;  // "設定保存"

    // Link
    QLabel* callsignLabel = nullptr;
    QLineEdit* CallsignText = nullptr;
    QLabel* IPLabel = nullptr;  // "接続先IP"
    QLineEdit* ConnectIpText = nullptr;
    QPushButton* ListenButton = nullptr;   // "待受"
    QPushButton* ConnectButton = nullptr;  // "接続"
    QPushButton* CloseButton = nullptr;    // "切断"
    QLabel* StatusLabel = nullptr;
    QLabel* TeacherLabel = nullptr;
    QLabel* StudentLabel = nullptr;
    QGroupBox* IpFrame = nullptr;  // "IPアドレス表示"
    QLabel* DispIpLabel = nullptr;
    QPushButton* SearchIpButton = nullptr;       // "コピー"
    QPushButton* CheckGrovalIpButton = nullptr;  // "WebでIPチェック"

    // Chat and log
    QPlainTextEdit* ChatText = nullptr;
    QLineEdit* SendMessageText = nullptr;
    QPushButton* SendMessageButton = nullptr;  // "送信"

    // The peer: its address while a link stands, whether only the peer address may link, and
    // a stop for a received CW line.
    QGroupBox* peerFrame = nullptr;            // "接続相手"
    QLabel* PeerIpLabel = nullptr;             // the peer's address; empty while no link stands
    QCheckBox* AcceptOnlyPeerCheck = nullptr;  // "接続先IPからの接続だけ受け付ける(&Y)"
    QPushButton* StopCwReceiveButton = nullptr;  // "受信CW停止(&Q)"

    // Status bar: the program's own notices (sound on or off)
    QLabel* soundStatusLabel = nullptr;

    // Menus
    QMenu* mnuSound = nullptr;
    QAction* mnuSoundWave = nullptr;
    QAction* mnuSoundBeep = nullptr;
    QAction* mnuSeparator = nullptr;
    QAction* mnuSoundQuarity = nullptr;
    QMenu* mnuMojiHanni = nullptr;
    QAction* mnuMojiHanniAtoE = nullptr;
    QAction* mnuMojiHanniFtoJ = nullptr;
    QAction* mnuMojiHanniKtoO = nullptr;
    QAction* mnuMojiHanniPtoT = nullptr;
    QAction* mnuMojiHanniUtoZ = nullptr;
    QAction* mnuMojiHanniAll = nullptr;
    QMenu* mnuNet = nullptr;
    QAction* mnuNetTeacherMode = nullptr;
    QAction* mnuNetStudentMode = nullptr;
    // Practising alone against the practice partner program.
    QMenu* mnuPartner = nullptr;
    QAction* mnuPartnerSolo = nullptr;
    // The lesson history window.
    QMenu* mnuRecord = nullptr;
    QAction* mnuRecordHistory = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpReadme = nullptr;
    QAction* mnuHelpOnline = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QAction* mnuEnd = nullptr;
};
