#include "net/PeerLink.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "net/AddressTools.h"
#include "common/ClockTimer.h"
#include "net/LinkSocket.h"
#include "common/MainFormUi.h"
#include "net/NetConnection.h"
#include "net/PingSocket.h"
#include "net/PresencePing.h"
#include "net/QuillNetModule.h"
#include "net/TextChat.h"

namespace {

// Runs handler when the option becomes selected, by the user or from code, and only then.
template <typename Handler>
void OnSelected(QRadioButton* option, QObject* receiver, Handler handler) {
    QObject::connect(option, &QRadioButton::toggled, receiver, [handler](bool checked) {
        if (checked) {
            handler();
        }
    });
}

}  // namespace

PeerLink::PeerLink(NetWindow window, QObject* parent)
    : QObject(parent),
      m_window(window),
      m_winsock1(new LinkSocket(this)),
      m_winsock2(new PingSocket(this)),
      m_module(new QuillNetModule(m_window, *m_winsock1, m_hooks, this)),
      m_connection(new NetConnection(m_window, *m_module, *m_winsock1, *m_winsock2, this)),
      m_ping(new PresencePing(m_window, *m_module, *m_connection, *m_winsock1, *m_winsock2, this)),
      m_chat(new TextChat(m_window, *m_module, m_hooks, this)),
      m_addressTools(new AddressTools(m_window, this)) {
    // The peer chooses what these show: never let it be read as rich text.
    for (QLabel* label : {m_window.ui.StatusLabel, m_window.ui.TeacherLabel,
                          m_window.ui.StudentLabel, m_window.ui.DispIpLabel}) {
        label->setTextFormat(Qt::PlainText);
    }
    connectControls();
}

PeerLink::~PeerLink() = default;

void PeerLink::PrepareAtStartUp() {
    if (m_winsock1->state() != LinkSocket::State::Closed) {
        m_winsock1->close();
        m_winsock2->close();
    }
    m_addressTools->ShowOwnAddress();
}

void PeerLink::MainForm_Form_Unload() {
    m_winsock1->close();
    m_winsock2->close();
}

bool PeerLink::hasWorkInFlight() const {
    return m_winsock1->hasPendingWork() || m_winsock2->hasPendingWork();
}

void PeerLink::connectControls() {
    const MainFormUi& ui = m_window.ui;
    NetConnection* c = m_connection;
    connect(ui.ListenButton, &QPushButton::clicked, c, &NetConnection::MainForm_ListenButton_Click);
    connect(ui.ConnectButton, &QPushButton::clicked, c,
            &NetConnection::MainForm_ConnectButton_Click);
    connect(ui.CloseButton, &QPushButton::clicked, c, &NetConnection::MainForm_CloseButton_Click);
    connect(&m_window.connectTimer, &ClockTimer::timeout, c,
            &NetConnection::MainForm_ConnectTimer_Timer);
    connect(ui.mnuNetTeacherMode, &QAction::triggered, c,
            &NetConnection::MainForm_mnuNetTeacherMode_Click);
    connect(ui.mnuNetStudentMode, &QAction::triggered, c,
            &NetConnection::MainForm_mnuNetStudentMode_Click);
    OnSelected(ui.TeacherOption, c, [c] { c->MainForm_TeacherOption_Click(); });
    OnSelected(ui.StudentOption, c, [c] { c->MainForm_StudentOption_Click(); });

    connect(m_winsock1, &LinkSocket::connectionRequest, c,
            &NetConnection::MainForm_Winsock1_ConnectionRequest);
    connect(m_winsock1, &LinkSocket::connected, c, &NetConnection::MainForm_Winsock1_Connect);
    connect(m_winsock1, &LinkSocket::peerClosed, c, &NetConnection::MainForm_Winsock1_Close);
    connect(m_winsock1, &LinkSocket::errorOccurred, c, &NetConnection::MainForm_Winsock1_Error);
    connect(m_winsock1, &LinkSocket::overflowed, c, &NetConnection::MainForm_Winsock1_Overflow);
    connect(m_winsock1, &LinkSocket::dataArrival, c, &NetConnection::MainForm_Winsock1_DataArrival);
    connect(m_winsock1, &LinkSocket::sendProgress, c,
            &NetConnection::MainForm_Winsock1_SendProgress);
    connect(m_winsock1, &LinkSocket::sendComplete, c,
            &NetConnection::MainForm_Winsock1_SendComplete);

    connect(&m_window.retryPingTimer, &ClockTimer::timeout, m_ping,
            &PresencePing::MainForm_RetryPingTimer_Timer);
    connect(m_winsock2, &PingSocket::datagramArrival, m_ping,
            &PresencePing::MainForm_Winsock2_DataArrival);

    TextChat* chat = m_chat;
    OnSelected(ui.ChatMode_Option, chat, [chat] { chat->MainForm_ChatMode_Option_Click(); });
    OnSelected(ui.optionMoji, chat, [chat] { chat->MainForm_optionMoji_Click(); });
    // CW chat is built elsewhere; it fills this hook.
    OnSelected(ui.optionCw, this, [this] { m_hooks.MainForm_optionCw_Click(); });
    connect(ui.SendMessageText, &QLineEdit::textChanged, chat,
            &TextChat::MainForm_SendMessageText_Change);
    connect(ui.SendMessageButton, &QPushButton::clicked, chat,
            &TextChat::MainForm_SendMessageButton_Click);

    AddressTools* tools = m_addressTools;
    connect(ui.SearchIpButton, &QPushButton::clicked, tools,
            &AddressTools::MainForm_SearchIpButton_Click);
    connect(ui.CheckGrovalIpButton, &QPushButton::clicked, tools,
            &AddressTools::MainForm_CheckGrovalIpButton_Click);
}
