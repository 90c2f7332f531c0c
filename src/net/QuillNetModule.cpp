#include "net/QuillNetModule.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include "common/Clock.h"
#include "common/DesktopServices.h"
#include "net/LinkSocket.h"
#include "common/LinkState.h"
#include "net/NetControls.h"
#include "common/RoleCaptions.h"
#include "net/WireCodec.h"

using namespace Qt::StringLiterals;
using NetControls::kBlack;
using NetControls::kRed;

namespace {

// Long enough for any send on a working link; a link that never completes a send must not
// hold the window any longer.
constexpr int kSendWaitLimitMs = 3000;
constexpr int kSendPauseMs = 10;
constexpr int kBlinkRedMs = 1000;
constexpr int kBlinkBlackMs = 500;

const QString kTextChatMode = u"文字チャットモード"_s;
const QString kCwChatMode = u"CWチャットモード"_s;
const QString kComposing = u"問題作成中"_s;
const QString kQuestionSent = u"問題送信済"_s;
const QString kSettingAborted = u"出題中止"_s;
const QString kTestRunning = u"受験中"_s;
const QString kTestFinished = u"受験終了"_s;
const QString kTestAborted = u"受験中止"_s;

}  // namespace

QuillNetModule::QuillNetModule(NetWindow& window, LinkSocket& winsock1, NetHooks& hooks,
                               QObject* parent)
    : QObject(parent), m_w(window), m_winsock1(winsock1), m_hooks(hooks) {}

void QuillNetModule::SendNetMessage(int type, const QString& payload) {
    const qint64 giveUp = m_w.clock.now() + kSendWaitLimitMs;
    while (!m_w.link.sendDone && m_w.clock.now() < giveUp && !m_w.clock.quitting()) {
        Delay(m_w.clock, kSendPauseMs);
    }
    Delay(m_w.clock, kSendPauseMs);

    const QChar digit = QChar(u'0' + type);
    if (type == 0) {
        m_winsock1.send(WireCodec::Encode(digit, payload));
    } else if (type == 1) {
        const QString text = m_w.ui.SendMessageText->text();
        m_winsock1.send(WireCodec::Encode(digit, text));
        AppendLogLine(m_w.link.myCallsign + u" > "_s + text);
    } else if (type >= 2 && type <= 9) {
        if (m_winsock1.state() == LinkSocket::State::Connected) {
            m_winsock1.send(WireCodec::Encode(digit, payload));
        }
    }
}

void QuillNetModule::AppendLogLine(const QString& line) {
    m_log.append(line);
    ShowLog();
}

void QuillNetModule::ShowLog() {
    m_w.ui.ChatText->setPlainText(m_log.text());
}

QString QuillNetModule::Stamp() const {
    return u'(' + LogStamp(m_w.desktop.currentDateTime()) + u')';
}

void QuillNetModule::ShowLabel(QLabel* label, const QString& caption) {
    label->setText(caption);
}

void QuillNetModule::ShowLabel(QLabel* label, const QString& caption, const QColor& colour) {
    NetControls::SetColour(label, colour);
    label->setText(caption);
}

void QuillNetModule::DispatchNetMessage(const QByteArray& data) {
    const QString stamp = Stamp();
    const WireCodec::Message message = WireCodec::Decode(data);
    const QString& payload = message.payload;
    switch (message.type.unicode()) {
        case u'0':
            receiveCallsign(payload, stamp);
            break;
        case u'1':
            AppendLogLine(m_w.link.peerCallsign + u" > "_s + payload);
            break;
        case u'2':
            receiveRole(payload);
            break;
        case u'3':
            receiveMode(payload);
            break;
        case u'4':
            receiveSpeed(payload);
            break;
        case u'5':
            receiveQuestion(payload);
            break;
        case u'6':
            receiveSetterStatus(payload);
            break;
        case u'7':
            receiveAnswererStatus(payload);
            break;
        case u'8':
            receiveChatStatus(payload);
            break;
        case u'9':
            m_hooks.PlayCwChatText(payload, true);
            break;
        default:
            break;
    }
}

void QuillNetModule::receiveCallsign(const QString& callsign, const QString& stamp) {
    m_w.link.peerCallsign = callsign;
    AppendLogLine(callsign + u"さんが入室しました。"_s + stamp);
    AppendLogLine(QString());
    m_w.ui.TeacherOption->setEnabled(true);
    m_w.ui.StudentOption->setEnabled(true);
    m_w.ui.SendMessageButton->setEnabled(true);
}

void QuillNetModule::receiveRole(const QString& payload) {
    const MainFormUi& ui = m_w.ui;
    const bool setter = payload == u"T"_s;
    if (!setter && payload != u"S"_s) {
        return;
    }
    // Selecting runs the option's own handler when it was not selected before; that answers
    // the peer, and the peer's echo ends here because its option is already selected.
    (setter ? ui.TeacherOption : ui.StudentOption)->setChecked(true);
    NetControls::ApplyRoleControls(ui, setter);
    if (!setter) {
        ui.KaitoupassButton_Command->setEnabled(true);
    }
}

void QuillNetModule::receiveMode(const QString& payload) {
    const MainFormUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    if (payload == u"0"_s) {
        s.peerMode = kTextChatMode;
        ShowLabel(ui.StudentLabel, s.peerCallsign + u'[' + s.peerMode + u']');
        s.myMode = kTextChatMode;
        ShowLabel(ui.TeacherLabel, s.myCallsign + u'[' + s.myMode + u']');
        ShowLog();
        ui.ChatMode_Option->setChecked(true);
        ui.optionMoji->setChecked(true);
        ui.SendMessageText->setReadOnly(false);
        ui.SendMessageText->setFocus();
    } else if (payload == u"1"_s) {
        s.peerMode = kCwChatMode;
        ShowLabel(ui.StudentLabel, RoleCaption::ChatPeer(s));
        s.myMode = kCwChatMode;
        ShowLabel(ui.TeacherLabel, RoleCaption::ChatSelf(s));
        ui.ChatMode_Option->setChecked(true);
        ui.optionCw->setChecked(true);
        ui.ChatText->setPlainText(u"***CWチャットモード開始***\r\n"_s);
    } else if (payload == u"2"_s || payload == u"3"_s) {
        const bool step = payload == u"2"_s;
        s.peerMode = step ? u"ステップモード"_s : u"ノーマルモード"_s;
        ShowLabel(ui.StudentLabel, RoleCaption::AnswererMode(s));
        // Its selection handler belongs to the receive-mode subsystem and runs from here.
        (step ? ui.StepMode_Option : ui.NormalMode_Option)->setChecked(true);
    }
}

void QuillNetModule::receiveSpeed(const QString& payload) {
    for (const NetControls::Speed& speed : NetControls::Speeds(m_w.ui)) {
        if (speed.code != payload) {
            continue;
        }
        m_w.link.peerSpeed = speed.text;
        ShowLabel(m_w.ui.StudentLabel, m_w.ui.ChatMode_Option->isChecked()
                                           ? RoleCaption::ChatPeer(m_w.link)
                                           : RoleCaption::AnswererMode(m_w.link));
        // Its selection handler belongs to the speed subsystem and runs from here.
        speed.option->setChecked(true);
        return;
    }
}

void QuillNetModule::receiveQuestion(const QString& question) {
    m_w.link.receivedQuestion = question;
    m_w.ui.StartButton_Command->setEnabled(true);
    m_w.ui.StartButton_Command->setText(u"スタート"_s);
    m_hooks.LoadQuestionCompleteForm();
}

void QuillNetModule::receiveSetterStatus(const QString& payload) {
    if (payload == u"1"_s) {
        composingBlink();
        return;
    }
    if (payload != u"2"_s && payload != u"3"_s) {
        return;
    }
    m_w.link.teacherStatus = payload == u"2"_s ? kQuestionSent : kSettingAborted;
    ShowLabel(m_w.ui.TeacherLabel, RoleCaption::SetterPeer(m_w.link), kBlack);
}

void QuillNetModule::setRoleControls(bool enabled) {
    m_w.ui.StartButton_Command->setEnabled(enabled);
    m_w.ui.TeacherOption->setEnabled(enabled);
    m_w.ui.StudentOption->setEnabled(enabled);
}

void QuillNetModule::receiveAnswererStatus(const QString& payload) {
    LinkState& s = m_w.link;
    if (payload == u"1"_s) {
        s.studentStatus = u"解答準備完了"_s;
        ShowLabel(m_w.ui.StudentLabel, RoleCaption::AnswererStatus(s));
        if (s.teacherStatus != kQuestionSent && s.teacherStatus != kComposing) {
            m_w.desktop.showMessage(&m_w.window, DesktopServices::Icon::Information, u"お知らせ"_s,
                                    u"解答者は受信準備が完了しています。「出題」ボタンを押して"
                                    u"問題作成を開始して下さい。"_s);
        }
    } else if (payload == u"2"_s) {
        s.studentStatus = kTestRunning;
        setRoleControls(false);
        s.teacherStatus.clear();
        blinkWhileTesting();
    } else if (payload == u"3"_s || payload == u"4"_s) {
        s.studentStatus = payload == u"3"_s ? kTestFinished : kTestAborted;
        setRoleControls(true);
        ShowLabel(m_w.ui.StudentLabel, RoleCaption::AnswererStatus(s), kBlack);
        ShowLabel(m_w.ui.TeacherLabel, RoleCaption::SetterSelf(s));
    }
}

void QuillNetModule::receiveChatStatus(const QString& payload) {
    LinkState& s = m_w.link;
    QColor colour = kBlack;
    if (payload == u"0"_s) {
        s.studentStatus = u"(入力中)"_s;
        colour = kRed;
    } else if (payload == u"2"_s) {
        s.studentStatus = u"送信終了"_s;
        setRoleControls(true);
        NetControls::SetSpeedControlsEnabled(m_w.ui, true);
        for (QPushButton* button : m_w.ui.answerButtons) {
            button->setEnabled(true);
        }
    } else if (payload == u"3"_s) {
        s.studentStatus = u"受信中"_s;
        colour = kRed;
    } else if (payload == u"4"_s) {
        s.studentStatus = u"受信終了"_s;
    } else if (payload == u"5"_s) {
        s.studentStatus.clear();
    } else {
        return;
    }
    ShowLabel(m_w.ui.StudentLabel, RoleCaption::ChatStatusPeer(s), colour);
}

bool QuillNetModule::linkGoneSince(quint64 serial) const {
    return m_w.clock.quitting() || m_winsock1.linkSerial() != serial;
}

void QuillNetModule::blinkWhileTesting() {
    // A loop already running shows the new status; a second one inside its wait would only
    // nest deeper with every repeat of the message.
    if (m_testingBlinkRunning) {
        return;
    }
    const QScopedValueRollback running(m_testingBlinkRunning, true);
    const quint64 serial = m_winsock1.linkSerial();
    LinkState& s = m_w.link;
    while (s.studentStatus != kTestAborted && s.studentStatus != kTestFinished &&
           !linkGoneSince(serial)) {
        ShowLabel(m_w.ui.StudentLabel, RoleCaption::AnswererStatus(s), kRed);
        Delay(m_w.clock, kBlinkRedMs);
        if (linkGoneSince(serial)) {
            break;
        }
        ShowLabel(m_w.ui.StudentLabel, RoleCaption::AnswererStatus(s), kBlack);
        Delay(m_w.clock, kBlinkBlackMs);
    }
}

void QuillNetModule::composingBlink() {
    const quint64 serial = m_winsock1.linkSerial();
    const MainFormUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    s.teacherStatus = kComposing;
    if (ui.StartButton_Command->text() != u"出題待機"_s) {
        m_hooks.infoStartingMakeAQuestion();
    }
    if (m_composingBlinkRunning) {
        return;
    }
    const QScopedValueRollback running(m_composingBlinkRunning, true);
    while (!linkGoneSince(serial)) {
        const bool settled = s.teacherStatus == kSettingAborted || s.teacherStatus == kQuestionSent;
        if (settled != ui.ChatMode_Option->isChecked()) {
            break;
        }
        ShowLabel(ui.TeacherLabel, RoleCaption::SetterPeer(s), kRed);
        Delay(m_w.clock, kBlinkRedMs);
        if (ui.ChatMode_Option->isChecked() || linkGoneSince(serial)) {
            break;
        }
        ShowLabel(ui.TeacherLabel, RoleCaption::SetterPeer(s), kBlack);
        Delay(m_w.clock, kBlinkBlackMs);
    }
    if (!ui.ChatMode_Option->isChecked() || linkGoneSince(serial)) {
        return;
    }
    if (ui.optionMoji->isChecked()) {
        s.myMode = s.peerMode = kTextChatMode;
        ui.SendMessageText->setFocus();
    } else if (ui.optionCw->isChecked()) {
        s.myMode = s.peerMode = kCwChatMode;
        const auto speed = NetControls::SelectedSpeed(ui);
        s.mySpeed = s.peerSpeed = speed ? speed->text : QString();
        ShowLabel(ui.TeacherLabel, RoleCaption::ChatSelf(s), kBlack);
        ShowLabel(ui.StudentLabel, RoleCaption::ChatPeer(s));
        ui.SendMessageText->setFocus();
    }
}
