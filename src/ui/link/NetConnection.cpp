#include "ui/link/NetConnection.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/Clock.h"
#include "core/kit/ClockTimer.h"
#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/kit/SpeedTable.h"
#include "core/link/LinkSocket.h"
#include "core/link/LinkWindow.h"
#include "core/link/MessageCodes.h"
#include "core/link/PingCounter.h"
#include "core/link/PingSocket.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/EnabledWatch.h"
#include "ui/kit/WindowOpening.h"
#include "ui/link/LessonPanel.h"
#include "ui/link/LinkUi.h"
#include "ui/link/NoCallsignOrIpDialog.h"
#include "ui/link/RoleLayout.h"
#include "ui/morse/SoundUi.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kConnectRetryMs = 2000;
constexpr int kChatModeDelayMs = 10;
// The listening side lets the connection settle before it starts watching the peer.
constexpr int kPingStartDelayMs = 30000;

}  // namespace

NetConnection::NetConnection(NetWindow& window, QuillNetModule& module, LinkSocket& winsock1,
                             PingSocket& winsock2, QObject* parent)
    : QObject(parent), m_w(window), m_module(module), m_winsock1(winsock1), m_winsock2(winsock2) {
    const LinkUi& ui = m_w.ui;
    WatchEnabled(ui.ConnectButton, [&link = m_w.link](bool enabled) { link.linkIdle = enabled; });
    connect(ui.ListenButton, &QPushButton::clicked, this,
            &NetConnection::MainForm_ListenButton_Click);
    connect(ui.ConnectButton, &QPushButton::clicked, this,
            &NetConnection::MainForm_ConnectButton_Click);
    connect(ui.CloseButton, &QPushButton::clicked, this,
            &NetConnection::MainForm_CloseButton_Click);
    connect(&m_w.connectTimer, &ClockTimer::timeout, this,
            &NetConnection::MainForm_ConnectTimer_Timer);
    connect(ui.mnuNetTeacherMode, &QAction::triggered, this,
            &NetConnection::MainForm_mnuNetTeacherMode_Click);
    connect(ui.mnuNetStudentMode, &QAction::triggered, this,
            &NetConnection::MainForm_mnuNetStudentMode_Click);
    OnSelected(ui.TeacherOption, this, [this] { MainForm_TeacherOption_Click(); });
    OnSelected(ui.StudentOption, this, [this] { MainForm_StudentOption_Click(); });

    connect(&m_winsock1, &LinkSocket::connectionRequest, this,
            &NetConnection::MainForm_Winsock1_ConnectionRequest);
    connect(&m_winsock1, &LinkSocket::connected, this, &NetConnection::MainForm_Winsock1_Connect);
    connect(&m_winsock1, &LinkSocket::peerClosed, this, &NetConnection::MainForm_Winsock1_Close);
    connect(&m_winsock1, &LinkSocket::errorOccurred, this, &NetConnection::MainForm_Winsock1_Error);
    connect(&m_winsock1, &LinkSocket::overflowed, this, &NetConnection::MainForm_Winsock1_Overflow);
    connect(&m_winsock1, &LinkSocket::dataArrival, this,
            &NetConnection::MainForm_Winsock1_DataArrival);
}

bool NetConnection::addressCheckPassed() {
    const bool noCallsign = m_w.choices.callsign().isEmpty();
    const bool noAddress = m_w.choices.peerAddress().isEmpty();
    if (!noCallsign && !noAddress) {
        return true;
    }
    NoCallsignOrIpDialog dialog(noCallsign, noAddress, &m_w.window);
    ShowModal(m_w.clock, &dialog, &m_w.window, {3000, 1600});
    // Back where the user must type, not wherever the window's focus happened to fall.
    (noCallsign ? m_w.ui.CallsignText : m_w.ui.ConnectIpText)->setFocus(Qt::OtherFocusReason);
    return false;
}

void NetConnection::setAddressBoxesLocked(bool locked) {
    m_w.ui.CallsignText->setReadOnly(locked);
    m_w.ui.ConnectIpText->setReadOnly(locked);
}

bool NetConnection::linkGoneSince(quint64 serial) const {
    return m_w.clock.quitting() || m_winsock1.linkSerial() != serial;
}

void NetConnection::afterOnThisLink(quint64 serial, int ms, std::function<void()> step) {
    RunAfter(m_w.clock, this, ms, [this, serial, step = std::move(step)] {
        if (!linkGoneSince(serial)) {
            step();
        }
    });
}

void NetConnection::MainForm_ListenButton_Click() {
    if (!addressCheckPassed()) {
        return;
    }
    const LinkUi& ui = m_w.ui;
    m_winsock1.listen(m_w.ports.tcp);
    m_w.link.myCallsign = m_w.choices.callsign();
    setAddressBoxesLocked(true);
    ui.StatusLabel->setText(u"相手からの接続待ちです。"_s);
    SetCaption(ui.CloseButton, u"停止"_s);
    ui.CloseButton->setEnabled(true);
    ui.ConnectButton->setEnabled(false);
    ui.ListenButton->setEnabled(false);
    Deselect(ui.TeacherOption);
    Deselect(ui.StudentOption);
    m_winsock2.bind(m_w.choices.peerAddress(), m_w.ports.connectorUdp, m_w.ports.listenerUdp);
}

void NetConnection::MainForm_ConnectButton_Click() {
    if (!addressCheckPassed()) {
        return;
    }
    const LinkUi& ui = m_w.ui;
    m_winsock1.close();
    m_w.link.myCallsign = m_w.choices.callsign();
    setAddressBoxesLocked(true);
    // The first attempt is made at the first tick.
    m_w.connectTimer.setInterval(kConnectRetryMs);
    m_w.connectTimer.setEnabled(true);
    ui.ConnectButton->setEnabled(false);
    SetCaption(ui.CloseButton, u"中止"_s);
    ui.CloseButton->setEnabled(true);
    ui.ListenButton->setEnabled(false);
    Deselect(ui.TeacherOption);
    Deselect(ui.StudentOption);
    m_winsock2.close();
    m_winsock2.bind(m_w.choices.peerAddress(), m_w.ports.listenerUdp, m_w.ports.connectorUdp);
}

void NetConnection::MainForm_ConnectTimer_Timer() {
    if (m_winsock1.state() == LinkSocket::State::Connected) {
        m_winsock1.close();
    }
    if (m_winsock1.state() != LinkSocket::State::Closed) {
        return;  // an attempt is still under way
    }
    const QString host = m_w.choices.peerAddress();
    m_w.ui.StatusLabel->setText(host + u"に接続要求しています。"_s);
    m_winsock1.connectTo(host, m_w.ports.tcp);
}

void NetConnection::logDeparture(const QString& stamp) {
    m_module.AppendLogLine(QString());
    m_module.AppendLogLine(m_w.link.myCallsign + u"さんが退室しました。"_s + stamp);
    m_module.AppendLogLine(m_w.link.peerCallsign + u"さんが退室しました。"_s + stamp);
    m_module.ShowLog();
}

void NetConnection::MainForm_CloseButton_Click() {
    m_w.connectTimer.setEnabled(false);
    const QString stamp = m_module.Stamp();
    QLabel* status = m_w.ui.StatusLabel;
    switch (m_winsock1.state()) {
        case LinkSocket::State::Connecting:
            m_winsock1.close();
            status->setText(m_winsock1.remoteHost() + u"への接続を中止しました。"_s);
            break;
        case LinkSocket::State::Closing:
            m_winsock1.close();
            status->setText(m_w.link.peerCallsign + u"さんから切断されました。"_s);
            break;
        case LinkSocket::State::Connected:
            m_winsock1.close();
            logDeparture(stamp);
            status->setText(m_w.link.peerCallsign + u"さんから切断しました。"_s);
            break;
        case LinkSocket::State::Listening:
            m_winsock1.close();
            status->setText(u"相手からの接続待ちを停止しました。"_s);
            break;
        default:
            break;
    }
    ApplyIdleLayout();
}

void NetConnection::ApplyIdleLayout() {
    const LinkUi& ui = m_w.ui;
    ui.ConnectButton->setEnabled(true);
    ui.ListenButton->setEnabled(true);
    ui.TeacherOption->setEnabled(false);
    ui.StudentOption->setEnabled(false);
    setAddressBoxesLocked(false);
    ui.SendMessageButton->setEnabled(false);
    ui.PeerIpLabel->clear();
    m_w.retryPingTimer.setEnabled(false);
    m_winsock2.close();
    SetEnabled({ui.ChatMode_Option, ui.optionMoji, ui.optionCw}, false);
    m_w.lessonPanel.applyIdle();
    ui.CloseButton->setEnabled(false);
    // In black: a blink that the link's end cut short in its red phase leaves the label red.
    ShowLabel(ui.TeacherLabel, RoleCaption::kSetterIdle, kBlack);
    ShowLabel(ui.StudentLabel, RoleCaption::kAnswererIdle, kBlack);
}

void NetConnection::enterChatMode() {
    const LinkUi& ui = m_w.ui;
    // Each selection runs its handler when it was not selected before.
    ui.ChatMode_Option->setEnabled(true);
    ui.optionMoji->setEnabled(true);
    if (m_view != nullptr) {
        m_view->takeChat(false);
    }
    ui.optionCw->setEnabled(true);
}

bool NetConnection::refusedStranger() {
    const QHostAddress from = m_winsock1.requestAddress();
    // The ping socket knows the peer address, resolved from the name typed, since listening.
    if (!m_w.choices.acceptOnlyPeer() || from.isNull() || m_winsock2.isPeerHost(from)) {
        return false;
    }
    m_winsock1.refuse();
    m_w.ui.StatusLabel->setText(LinkSocket::AddressText(from) +
                                u"からの接続を断りました。接続先IPからの接続を待っています。"_s);
    return true;
}

void NetConnection::showPeerAddress() {
    m_w.ui.PeerIpLabel->setText(LinkSocket::AddressText(m_winsock1.peerAddress()));
}

void NetConnection::MainForm_Winsock1_ConnectionRequest() {
    const QString stamp = m_module.Stamp();
    const LinkUi& ui = m_w.ui;
    if (refusedStranger()) {
        return;
    }
    m_winsock1.close();
    m_winsock1.accept();
    const quint64 serial = m_winsock1.linkSerial();
    m_winsock2.acceptFrom(m_winsock1.peerAddress());
    showPeerAddress();
    ui.StatusLabel->setText(u"接続を受付けました。"_s);
    ui.SendMessageButton->setEnabled(true);
    SetCaption(ui.CloseButton, u"切断"_s);
    m_module.log().restart();
    m_module.AppendLogLine(m_w.link.myCallsign + u"さんが入室しました。"_s + stamp);
    m_module.SendNetMessage(MessageType::Callsign, m_w.link.myCallsign);
    ui.SendMessageText->setFocus();
    m_w.link.cwChatBuffer.clear();
    ui.TeacherOption->setEnabled(true);
    ui.StudentOption->setEnabled(true);
    afterOnThisLink(serial, kChatModeDelayMs, [this, serial] {
        enterChatMode();
        // The link may have closed, or a newer one begun, meanwhile: the ping belongs to this
        // link only.
        afterOnThisLink(serial, kPingStartDelayMs, [this] {
            m_w.retryPingTimer.setInterval(PingCounter::kNormalInterval);
            m_w.retryPingTimer.setEnabled(true);
        });
    });
}

void NetConnection::MainForm_Winsock1_Connect() {
    const QString stamp = m_module.Stamp();
    const LinkUi& ui = m_w.ui;
    const quint64 serial = m_winsock1.linkSerial();
    m_module.log().restart();
    m_module.log().clearText();
    m_w.link.cwChatBuffer.clear();
    m_w.connectTimer.setEnabled(false);
    m_winsock2.acceptFrom(m_winsock1.peerAddress());
    showPeerAddress();
    ui.StatusLabel->setText(m_winsock1.remoteHost() + u"に接続しました。"_s);
    m_module.AppendLogLine(m_w.link.myCallsign + u"さんが入室しました。"_s + stamp);
    m_module.SendNetMessage(MessageType::Callsign, m_w.link.myCallsign);
    ui.SendMessageText->setFocus();
    SetCaption(ui.CloseButton, u"切断"_s);
    if (linkGoneSince(serial)) {
        return;
    }
    m_w.retryPingTimer.setInterval(PingCounter::kNormalInterval);
    m_w.retryPingTimer.setEnabled(true);
    afterOnThisLink(serial, kChatModeDelayMs, [this] { enterChatMode(); });
}

void NetConnection::MainForm_Winsock1_Close() {
    const QString stamp = m_module.Stamp();
    logDeparture(stamp);
    m_w.ui.StatusLabel->setText(m_w.link.peerCallsign + u"さんから切断されました。"_s);
    m_winsock1.close();
    ApplyIdleLayout();
}

void NetConnection::MainForm_Winsock1_Error(const QString& description) {
    const LinkUi& ui = m_w.ui;
    // An established link that breaks leaves nothing to chat or ping over.
    const bool linkBroke = !m_winsock1.peerAddress().isNull();
    m_w.connectTimer.setEnabled(false);
    m_winsock1.close();
    m_winsock2.close();
    if (linkBroke) {
        ApplyIdleLayout();
    }
    m_w.retryPingTimer.setEnabled(false);
    ui.StatusLabel->setText(description);
    ui.ConnectButton->setEnabled(true);
    ui.ListenButton->setEnabled(true);
    ui.CloseButton->setEnabled(false);
    setAddressBoxesLocked(false);
}

void NetConnection::MainForm_Winsock1_Overflow() {
    const QString stamp = m_module.Stamp();
    m_w.connectTimer.setEnabled(false);
    m_winsock1.close();
    m_module.AppendLogLine(u"チャットルームを閉じました。"_s + stamp);
    m_w.ui.StatusLabel->setText(u"相手から受信したデータが多すぎるため切断しました。"_s);
    ApplyIdleLayout();
}

void NetConnection::MainForm_Winsock1_DataArrival(const QByteArray& data) {
    m_module.DispatchNetMessage(data);
}

void NetConnection::MainForm_TeacherOption_Click() {
    const LinkUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    m_module.SendNetMessage(MessageType::Role, RoleCode::kBecomeAnswerer);
    ui.TeacherLabel->setText(RoleCaption::SetterSelf(s));
    s.peerMode = LinkMode::Unchosen;
    ui.StudentLabel->setText(RoleCaption::AnswererPeerChoosing(s));
    LeaveChatMode(ui);
    m_module.ShowLog();
    ApplyRoleControls(m_w.soundUi, m_w.lessonPanel, true);
}

void NetConnection::MainForm_StudentOption_Click() {
    const LinkUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    m_module.SendNetMessage(MessageType::Role, RoleCode::kBecomeSetter);
    ui.TeacherLabel->setText(RoleCaption::SetterPeerIdle(s));
    m_module.SendChosenSpeed();
    s.myMode = LinkMode::Unchosen;
    ui.StudentLabel->setText(RoleCaption::AnswererSelfChoosing(s));
    s.myMode = LinkMode::Empty;
    s.mySpeed = 0;
    s.myExactSpeed.clear();
    m_w.lessonPanel.clearModelAnswer();
    LeaveChatMode(ui);
    m_module.ShowLog();
    ApplyRoleControls(m_w.soundUi, m_w.lessonPanel, false);
}

void NetConnection::MainForm_mnuNetTeacherMode_Click() {
    m_w.ui.mnuNetTeacherMode->setChecked(true);
    m_w.ui.mnuNetStudentMode->setChecked(false);
}

void NetConnection::MainForm_mnuNetStudentMode_Click() {
    m_w.ui.mnuNetTeacherMode->setChecked(false);
    m_w.ui.mnuNetStudentMode->setChecked(true);
}
