#pragma once

class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The main window's peer link: the callsign and address, connecting, the status and role lines,
// the roles, the own address, the peer, chat mode with its kinds and log, and the net menu.
struct LinkUi {
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

    // Roles (exclusive)
    QRadioButton* TeacherOption = nullptr;  // "出題者になる"
    QRadioButton* StudentOption = nullptr;  // "解答者になる"
    QButtonGroup* roleGroup = nullptr;

    QGroupBox* IpFrame = nullptr;  // "IPアドレス表示"
    QLabel* DispIpLabel = nullptr;
    QPushButton* SearchIpButton = nullptr;       // "コピー"
    QPushButton* CheckGrovalIpButton = nullptr;  // "WebでIPチェック"

    // Chat: the practice mode that chats (in the lesson's mode group), its two kinds (exclusive),
    // the log and the line to send.
    QRadioButton* ChatMode_Option = nullptr;  // "チャットモード"
    QRadioButton* optionMoji = nullptr;       // "文字"
    QRadioButton* optionCw = nullptr;         // "CW"
    QButtonGroup* chatKindGroup = nullptr;
    QPlainTextEdit* ChatText = nullptr;
    QLineEdit* SendMessageText = nullptr;
    QPushButton* SendMessageButton = nullptr;  // "送信"

    // The peer: its address while a link stands, whether only the peer address may link, and
    // a stop for a received CW line.
    QGroupBox* peerFrame = nullptr;            // "接続相手"
    QLabel* PeerIpLabel = nullptr;             // the peer's address; empty while no link stands
    QCheckBox* AcceptOnlyPeerCheck = nullptr;  // "接続先IPからの接続だけ受け付ける(&Y)"
    QPushButton* StopCwReceiveButton = nullptr;  // "受信CW停止(&Q)"

    QMenu* mnuNet = nullptr;
    QAction* mnuNetTeacherMode = nullptr;
    QAction* mnuNetStudentMode = nullptr;
};
