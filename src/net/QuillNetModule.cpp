#include "net/QuillNetModule.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/Clock.h"
#include "common/ControlHelpers.h"
#include "common/DesktopServices.h"
#include "common/LabelBlink.h"
#include "common/LinkState.h"
#include "common/MainFormUi.h"
#include "common/RoleCaptions.h"
#include "common/SharedTexts.h"
#include "common/SpeedTable.h"
#include "net/LinkSocket.h"
#include "net/MessageCodes.h"
#include "net/PeerText.h"
#include "net/RoleLayout.h"
#include "net/WireCodec.h"

using namespace Qt::StringLiterals;

namespace {

// Long enough for any send on a working link; a link that never completes a send must not
// hold the window any longer.
constexpr int kSendWaitLimitMs = 3000;
constexpr int kSendPauseMs = 10;

}  // namespace

QuillNetModule::QuillNetModule(NetWindow& window, LinkSocket& winsock1, QObject* parent)
    : QObject(parent),
      m_w(window),
      m_winsock1(winsock1),
      m_testingBlink(window.clock),
      m_composingBlink(window.clock) {}

void QuillNetModule::SendNetMessage(int type, const QString& payload) {
    WaitUntil(
        m_w.clock, [this] { return m_w.link.sendDone; }, kSendWaitLimitMs);
    Delay(m_w.clock, kSendPauseMs);

    const QChar digit = QChar(u'0' + type);
    if (type == MessageType::Callsign) {
        m_winsock1.send(WireCodec::Encode(digit, payload));
    } else if (type == MessageType::Chat) {
        const QString text = m_w.ui.SendMessageText->text();
        m_winsock1.send(WireCodec::Encode(digit, text));
        appendToLog(m_w.link.myCallsign + u" > "_s + text, true);
    } else if (type >= MessageType::Role && type <= MessageType::CwChat) {
        if (m_winsock1.state() == LinkSocket::State::Connected) {
            m_winsock1.send(WireCodec::Encode(digit, payload));
        }
    }
}

void QuillNetModule::AppendLogLine(const QString& line) {
    appendToLog(line, false);
}

void QuillNetModule::appendToLog(const QString& line, bool ownChat) {
    m_log.append(line);
    ShowLog();
    if (!ownChat && !line.isEmpty()) {
        emit lineLogged(line);
    }
}

void QuillNetModule::ShowLog() {
    m_w.ui.ChatText->setPlainText(m_log.text());
}

QString QuillNetModule::Stamp() const {
    return u'(' + LogStamp(m_w.desktop.currentDateTime()) + u')';
}

void QuillNetModule::DispatchNetMessage(const QByteArray& data) {
    const QString stamp = Stamp();
    const WireCodec::Message message = WireCodec::Decode(data);
    const QString& payload = message.payload;
    switch (message.type.unicode() - u'0') {
        case MessageType::Callsign:
            receiveCallsign(payload, stamp);
            break;
        case MessageType::Chat:
            AppendLogLine(m_w.link.peerCallsign + u" > "_s + ShownPeerText(payload));
            break;
        case MessageType::Role:
            receiveRole(payload);
            break;
        case MessageType::Mode:
            receiveMode(payload);
            break;
        case MessageType::Speed:
            receiveSpeed(payload);
            break;
        case MessageType::Question:
            receiveQuestion(payload);
            break;
        case MessageType::SetterStatus:
            receiveSetterStatus(payload);
            break;
        case MessageType::AnswererStatus:
            receiveAnswererStatus(payload);
            break;
        case MessageType::ChatStatus:
            receiveChatStatus(payload);
            break;
        case MessageType::CwChat:
            emit cwChatReceived(payload);
            break;
        default:
            break;
    }
}

void QuillNetModule::receiveCallsign(const QString& callsign, const QString& stamp) {
    m_w.link.peerCallsign = ShownPeerCallsign(callsign);
    AppendLogLine(m_w.link.peerCallsign + u"さんが入室しました。"_s + stamp);
    AppendLogLine(QString());
    SetEnabled({m_w.ui.TeacherOption, m_w.ui.StudentOption, m_w.ui.SendMessageButton}, true);
}

void QuillNetModule::receiveRole(const QString& payload) {
    const MainFormUi& ui = m_w.ui;
    const bool setter = payload == RoleCode::kBecomeSetter;
    if (!setter && payload != RoleCode::kBecomeAnswerer) {
        return;
    }
    // Selecting runs the option's own handler when it was not selected before; that answers
    // the peer, and the peer's echo ends here because its option is already selected.
    (setter ? ui.TeacherOption : ui.StudentOption)->setChecked(true);
    ApplyRoleControls(ui, setter);
    if (!setter) {
        ui.KaitoupassButton_Command->setEnabled(true);
    }
}

void QuillNetModule::receiveMode(const QString& payload) {
    const MainFormUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    if (payload == ModeCode::kTextChat) {
        s.peerMode = ModeText::kTextChat;
        ui.StudentLabel->setText(RoleCaption::ChatTextPeer(s));
        s.myMode = ModeText::kTextChat;
        ui.TeacherLabel->setText(RoleCaption::ChatTextSelf(s));
        ShowLog();
        ui.ChatMode_Option->setChecked(true);
        ui.optionMoji->setChecked(true);
        ui.SendMessageText->setReadOnly(false);
        ui.SendMessageText->setFocus();
    } else if (payload == ModeCode::kCwChat) {
        s.peerMode = ModeText::kCwChat;
        ui.StudentLabel->setText(RoleCaption::ChatPeer(s));
        s.myMode = ModeText::kCwChat;
        ui.TeacherLabel->setText(RoleCaption::ChatSelf(s));
        ui.ChatMode_Option->setChecked(true);
        ui.optionCw->setChecked(true);
        ui.ChatText->setPlainText(kCwChatOpening);
    } else if (payload == ModeCode::kStep || payload == ModeCode::kNormal) {
        const bool step = payload == ModeCode::kStep;
        s.peerMode = step ? ModeText::kStep : ModeText::kNormal;
        ui.StudentLabel->setText(RoleCaption::AnswererMode(s));
        // Its selection handler belongs to the receive modes and runs from here.
        (step ? ui.StepMode_Option : ui.NormalMode_Option)->setChecked(true);
    }
}

void QuillNetModule::receiveSpeed(const QString& payload) {
    const Speed* speed = SpeedForWireCode(payload);
    if (speed == nullptr) {
        return;
    }
    m_w.link.peerSpeed = speed->text.toString();
    m_w.ui.StudentLabel->setText(m_w.ui.ChatMode_Option->isChecked()
                                     ? RoleCaption::ChatPeer(m_w.link)
                                     : RoleCaption::AnswererMode(m_w.link));
    // Its selection handler belongs to the speeds and runs from here.
    SpeedOption(m_w.ui, *speed)->setChecked(true);
}

void QuillNetModule::receiveQuestion(const QString& question) {
    m_w.link.receivedQuestion = question;
    m_w.ui.StartButton_Command->setEnabled(true);
    SetCaption(m_w.ui.StartButton_Command, StartCaption::kStart);
    emit questionReceived();
}

void QuillNetModule::receiveSetterStatus(const QString& payload) {
    if (payload == SetterCode::kComposing) {
        composingBlink();
        return;
    }
    if (payload != SetterCode::kQuestionSent && payload != SetterCode::kAborted) {
        return;
    }
    m_w.link.teacherStatus = payload == SetterCode::kQuestionSent ? StatusWord::kQuestionSent
                                                                  : StatusWord::kSettingAborted;
    ShowLabel(m_w.ui.TeacherLabel, RoleCaption::SetterPeer(m_w.link), kBlack);
}

void QuillNetModule::setRoleControls(bool enabled) {
    SetEnabled({m_w.ui.StartButton_Command, m_w.ui.TeacherOption, m_w.ui.StudentOption}, enabled);
}

void QuillNetModule::receiveAnswererStatus(const QString& payload) {
    LinkState& s = m_w.link;
    if (payload == AnswererCode::kReady) {
        s.studentStatus = StatusWord::kReady;
        m_w.ui.StudentLabel->setText(RoleCaption::AnswererStatus(s));
        if (s.teacherStatus != StatusWord::kQuestionSent &&
            s.teacherStatus != StatusWord::kComposing) {
            // A peer that repeats the message gets one box, not a stack of them.
            m_readyNotice.open([this] {
                m_w.desktop.showMessage(&m_w.window, DesktopServices::Icon::Information,
                                        u"お知らせ"_s,
                                        u"解答者は受信準備が完了しています。「出題」ボタンを押して"
                                        u"問題作成を開始して下さい。"_s);
            });
        }
    } else if (payload == AnswererCode::kTestRunning) {
        s.studentStatus = StatusWord::kTestRunning;
        setRoleControls(false);
        s.teacherStatus.clear();
        blinkWhileTesting();
    } else if (payload == AnswererCode::kTestFinished || payload == AnswererCode::kTestAborted) {
        s.studentStatus = payload == AnswererCode::kTestFinished ? StatusWord::kTestFinished
                                                                 : StatusWord::kTestAborted;
        setRoleControls(true);
        ShowLabel(m_w.ui.StudentLabel, RoleCaption::AnswererStatus(s), kBlack);
        m_w.ui.TeacherLabel->setText(RoleCaption::SetterSelf(s));
    }
}

void QuillNetModule::receiveChatStatus(const QString& payload) {
    LinkState& s = m_w.link;
    QColor colour = kBlack;
    if (payload == ChatCode::kTyping) {
        s.studentStatus = StatusWord::kTyping;
        colour = kRed;
    } else if (payload == ChatCode::kSendingEnded) {
        s.studentStatus = StatusWord::kSendingEnded;
        setRoleControls(true);
        SetSpeedControlsEnabled(m_w.ui, true);
        for (QPushButton* button : m_w.ui.answerButtons) {
            button->setEnabled(true);
        }
    } else if (payload == ChatCode::kReceiving) {
        s.studentStatus = StatusWord::kReceiving;
        colour = kRed;
    } else if (payload == ChatCode::kReceivingEnded) {
        s.studentStatus = StatusWord::kReceivingEnded;
    } else if (payload == ChatCode::kInputCleared) {
        s.studentStatus.clear();
    } else {
        return;
    }
    ShowLabel(m_w.ui.StudentLabel, RoleCaption::ChatStatusPeer(s), colour);
}

quint64 QuillNetModule::linkSerial() const {
    return m_winsock1.linkSerial();
}

bool QuillNetModule::linkGoneSince(quint64 serial) const {
    return m_w.clock.quitting() || m_winsock1.linkSerial() != serial;
}

void QuillNetModule::blinkWhileTesting() {
    // A blink already running shows the new status.
    const quint64 serial = m_winsock1.linkSerial();
    const LinkState& s = m_w.link;
    m_testingBlink.start({m_w.ui.StudentLabel, [&s] { return RoleCaption::AnswererStatus(s); },
                          [&s] {
                              return s.studentStatus == StatusWord::kTestAborted ||
                                     s.studentStatus == StatusWord::kTestFinished;
                          },
                          [] { return false; }, [this, serial] { return linkGoneSince(serial); }});
}

void QuillNetModule::composingBlink() {
    const quint64 serial = m_winsock1.linkSerial();
    const MainFormUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    s.teacherStatus = StatusWord::kComposing;
    if (ui.StartButton_Command->text() != StartCaption::kWaiting) {
        emit composingStarted();
    }
    const auto chatMode = [&ui] { return ui.ChatMode_Option->isChecked(); };
    m_composingBlink.start({ui.TeacherLabel, [&s] { return RoleCaption::SetterPeer(s); },
                            [&s, chatMode] {
                                // Ends when exactly one holds: the setter is no longer
                                // composing (the question sent or given up, or the status
                                // cleared by this side's lesson starting within a pass of the
                                // question: that would leave the blink running for good), or
                                // chat mode.
                                const bool settled = s.teacherStatus != StatusWord::kComposing;
                                return settled != chatMode();
                            },
                            chatMode, [this, serial] { return linkGoneSince(serial); }},
                           [this, chatMode, serial] {
                               if (chatMode() && !linkGoneSince(serial)) {
                                   takeChatModeAfterComposing();
                               }
                           });
}

void QuillNetModule::takeChatModeAfterComposing() {
    const MainFormUi& ui = m_w.ui;
    LinkState& s = m_w.link;
    if (ui.optionMoji->isChecked()) {
        s.myMode = s.peerMode = ModeText::kTextChat;
        ui.SendMessageText->setFocus();
    } else if (ui.optionCw->isChecked()) {
        s.myMode = s.peerMode = ModeText::kCwChat;
        const Speed* speed = SelectedSpeed(ui);
        s.mySpeed = s.peerSpeed = speed != nullptr ? speed->text.toString() : QString();
        ShowLabel(ui.TeacherLabel, RoleCaption::ChatSelf(s), kBlack);
        ui.StudentLabel->setText(RoleCaption::ChatPeer(s));
        ui.SendMessageText->setFocus();
    }
}
