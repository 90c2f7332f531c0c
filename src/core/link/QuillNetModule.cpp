#include "core/link/QuillNetModule.h"

#include "core/kit/Clock.h"
#include "core/kit/LessonState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SpeedTable.h"
#include "core/link/BandRequest.h"
#include "core/link/ExactSpeed.h"
#include "core/link/LinkSocket.h"
#include "core/link/LinkWindow.h"
#include "core/link/MessageCodes.h"
#include "core/link/PeerText.h"
#include "core/link/PracticeSide.h"
#include "core/link/SessionChoices.h"
#include "core/link/WireCodec.h"

using namespace Qt::StringLiterals;

namespace {

using Colour = LinkWindow::Colour;

}  // namespace

QuillNetModule::QuillNetModule(LinkState& link, LinkSocket& winsock1, Clock& clock,
                               std::function<QDateTime()> now, QObject* parent)
    : QObject(parent),
      m_link(link),
      m_winsock1(winsock1),
      m_clock(clock),
      m_now(std::move(now)),
      m_sends(clock, [this] { return m_link.sendDone; }) {
    connect(&m_winsock1, &LinkSocket::linkSerialChanged, this, &QuillNetModule::linkChanged);
    connect(&m_winsock1, &LinkSocket::sendProgress, this,
            &QuillNetModule::MainForm_Winsock1_SendProgress);
    connect(&m_winsock1, &LinkSocket::sendComplete, this,
            &QuillNetModule::MainForm_Winsock1_SendComplete);
}

void QuillNetModule::MainForm_Winsock1_SendProgress() {
    m_link.sendDone = false;
}

void QuillNetModule::MainForm_Winsock1_SendComplete() {
    m_link.sendDone = true;
}

void QuillNetModule::SendNetMessage(int type, const QString& payload) {
    m_sends.push([this, type, payload] { write(type, payload); });
}

void QuillNetModule::write(int type, const QString& payload) {
    const QChar digit = QChar(u'0' + type);
    if (type == MessageType::Callsign) {
        m_winsock1.send(WireCodec::Encode(digit, payload));
    } else if (type == MessageType::Chat) {
        m_winsock1.send(WireCodec::Encode(digit, payload));
        appendToLog(m_link.myCallsign + u" > "_s + payload, true);
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
    if (m_window != nullptr) {
        m_window->showLog();
    }
}

QString QuillNetModule::Stamp() const {
    return u'(' + LogStamp(m_now()) + u')';
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
            AppendLogLine(m_link.peerCallsign + u" > "_s + ShownPeerText(payload));
            emit chatReceived(payload);
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
    m_link.peerCallsign = ShownPeerCallsign(callsign);
    AppendLogLine(m_link.peerCallsign + u"さんが入室しました。"_s + stamp);
    AppendLogLine(QString());
    if (m_window != nullptr) {
        m_window->peerJoined();
    }
}

void QuillNetModule::receiveRole(const QString& payload) {
    const bool setter = payload == RoleCode::kBecomeSetter;
    if (!setter && payload != RoleCode::kBecomeAnswerer) {
        return;
    }
    // The role's own handler runs when its option was not selected before; that answers the
    // peer, and the peer's echo ends here because its option is selected already.
    if (m_window != nullptr) {
        m_window->takeRole(setter);
    }
}

void QuillNetModule::receiveMode(const QString& payload) {
    LinkState& s = m_link;
    if (payload == ModeCode::kTextChat || payload == ModeCode::kCwChat) {
        const bool cw = payload == ModeCode::kCwChat;
        s.peerMode = cw ? LinkMode::CwChat : LinkMode::TextChat;
        s.myMode = s.peerMode;
        if (m_window == nullptr) {
            return;
        }
        m_window->setStudentLine(cw ? RoleCaption::ChatPeer(s) : RoleCaption::ChatTextPeer(s),
                                 Colour::Unchanged);
        m_window->setTeacherLine(cw ? RoleCaption::ChatSelf(s) : RoleCaption::ChatTextSelf(s),
                                 Colour::Unchanged);
        if (!cw) {
            m_window->showLog();
        }
        m_window->takeChat(cw);
        if (cw) {
            m_window->showCwChatOpening();
        }
    } else if (payload == ModeCode::kStep || payload == ModeCode::kNormal) {
        const bool step = payload == ModeCode::kStep;
        s.peerMode = step ? LinkMode::Step : LinkMode::Normal;
        if (m_window != nullptr) {
            m_window->setStudentLine(RoleCaption::AnswererMode(s), Colour::Unchanged);
        }
        if (m_practice != nullptr) {
            m_practice->selectReceiveMode(step);
        }
    }
}

void QuillNetModule::SendChosenSpeed() {
    const std::optional<FreeSpeed> free =
        m_practice != nullptr ? m_practice->chosenFreeSpeed() : std::nullopt;
    const int perMinute = free                    ? NearestFixedSpeed(*free)
                          : m_practice != nullptr ? m_practice->selectedSpeed()
                                                  : 0;
    const Speed* speed = SpeedForPerMinute(perMinute);
    if (speed == nullptr) {
        return;
    }
    m_link.mySpeed = speed->perMinute;
    m_link.myExactSpeed = free ? ExactSpeedCaption(*free) : QString();
    SendNetMessage(MessageType::Speed, speed->wireCode.toString());
    // Only after the code, which an original peer follows: the figures are for this program.
    if (free) {
        SendNetMessage(MessageType::Speed, ExactSpeedPayload(*free));
    }
}

void QuillNetModule::receiveSpeed(const QString& payload) {
    if (const std::optional<FreeSpeed> exact = ParseExactSpeedPayload(payload)) {
        receiveExactSpeed(*exact);
        return;
    }
    if (const std::optional<BandConditions> band = ParseBandRequestPayload(payload)) {
        emit bandRequested(*band);
        return;
    }
    const Speed* speed = SpeedForWireCode(payload);
    if (speed == nullptr) {
        return;
    }
    m_link.peerSpeed = speed->perMinute;
    // The figures, if any, follow the code: until then the code is the speed.
    m_link.peerExactSpeed.clear();
    showPeerSpeed();
    if (m_practice != nullptr) {
        m_practice->selectSpeed(speed->perMinute);
    }
}

void QuillNetModule::showPeerSpeed() {
    if (m_window != nullptr) {
        m_window->setStudentLine(m_choices != nullptr && m_choices->chatMode()
                                     ? RoleCaption::ChatPeer(m_link)
                                     : RoleCaption::AnswererMode(m_link),
                                 Colour::Unchanged);
    }
}

void QuillNetModule::receiveExactSpeed(const FreeSpeed& speed) {
    m_link.peerExactSpeed = ExactSpeedCaption(speed);
    showPeerSpeed();
    if (m_practice != nullptr) {
        m_practice->selectFreeSpeed(speed);
    }
}

void QuillNetModule::receiveQuestion(const QString& question) {
    m_link.receivedQuestion = question;
    if (m_window != nullptr) {
        m_window->questionArrived();
    }
    emit questionReceived();
}

void QuillNetModule::receiveSetterStatus(const QString& payload) {
    if (payload == SetterCode::kComposing) {
        m_link.teacherStatus = LinkStatus::Composing;
        if (m_window != nullptr) {
            if (m_lesson == nullptr || m_lesson->mainButton != MainButton::Waiting) {
                emit composingStarted();
            }
            m_window->blinkWhileComposing();
        }
        return;
    }
    if (payload != SetterCode::kQuestionSent && payload != SetterCode::kAborted) {
        return;
    }
    m_link.teacherStatus = payload == SetterCode::kQuestionSent ? LinkStatus::QuestionSent
                                                                : LinkStatus::SettingAborted;
    if (m_window != nullptr) {
        m_window->setTeacherLine(RoleCaption::SetterPeer(m_link), Colour::Black);
    }
}

void QuillNetModule::receiveAnswererStatus(const QString& payload) {
    const bool known = payload == AnswererCode::kReady || payload == AnswererCode::kTestRunning ||
                       payload == AnswererCode::kTestFinished ||
                       payload == AnswererCode::kTestAborted;
    if (known) {
        applyAnswererStatus(payload);
        emit answererStatusReceived(m_link.studentStatus);
    }
}

void QuillNetModule::applyAnswererStatus(const QString& payload) {
    LinkState& s = m_link;
    if (payload == AnswererCode::kReady) {
        s.studentStatus = LinkStatus::Ready;
        if (m_window == nullptr) {
            return;
        }
        m_window->setStudentLine(RoleCaption::AnswererStatus(s), Colour::Unchanged);
        if (s.teacherStatus != LinkStatus::QuestionSent &&
            s.teacherStatus != LinkStatus::Composing) {
            m_window->showReadyNotice();
        }
    } else if (payload == AnswererCode::kTestRunning) {
        s.studentStatus = LinkStatus::TestRunning;
        s.teacherStatus = LinkStatus::Empty;
        if (m_window != nullptr) {
            m_window->setRoleControlsEnabled(false);
            m_window->blinkWhileTesting();
        }
    } else if (payload == AnswererCode::kTestFinished || payload == AnswererCode::kTestAborted) {
        s.studentStatus = payload == AnswererCode::kTestFinished ? LinkStatus::TestFinished
                                                                 : LinkStatus::TestAborted;
        if (m_window != nullptr) {
            m_window->setRoleControlsEnabled(true);
            m_window->setStudentLine(RoleCaption::AnswererStatus(s), Colour::Black);
            m_window->setTeacherLine(RoleCaption::SetterSelf(s), Colour::Unchanged);
        }
    }
}

void QuillNetModule::receiveChatStatus(const QString& payload) {
    LinkState& s = m_link;
    Colour colour = Colour::Black;
    if (payload == ChatCode::kTyping) {
        s.studentStatus = LinkStatus::Typing;
        colour = Colour::Red;
    } else if (payload == ChatCode::kSendingEnded) {
        s.studentStatus = LinkStatus::SendingEnded;
        if (m_window != nullptr) {
            m_window->peerKeyingEnded();
        }
    } else if (payload == ChatCode::kReceiving) {
        s.studentStatus = LinkStatus::Receiving;
        colour = Colour::Red;
    } else if (payload == ChatCode::kReceivingEnded) {
        s.studentStatus = LinkStatus::ReceivingEnded;
    } else if (payload == ChatCode::kInputCleared) {
        s.studentStatus = LinkStatus::Empty;
    } else {
        return;
    }
    if (m_window != nullptr) {
        m_window->setStudentLine(RoleCaption::ChatStatusPeer(s), colour);
    }
    emit chatStatusReceived(s.studentStatus);
}

quint64 QuillNetModule::linkSerial() const {
    return m_winsock1.linkSerial();
}

bool QuillNetModule::linkGoneSince(quint64 serial) const {
    return m_clock.quitting() || m_winsock1.linkSerial() != serial;
}

bool QuillNetModule::testSettled() const {
    return m_link.studentStatus == LinkStatus::TestAborted ||
           m_link.studentStatus == LinkStatus::TestFinished;
}

bool QuillNetModule::composingSettled(bool chatMode) const {
    // Ends when exactly one holds: the setter is no longer composing (the question sent or given
    // up, or the status cleared by this side's lesson starting within a pass of the question:
    // that would leave the blink running for good), or chat mode.
    const bool settled = m_link.teacherStatus != LinkStatus::Composing;
    return settled != chatMode;
}

void QuillNetModule::takeChatAfterComposing(bool cw) {
    LinkState& s = m_link;
    if (!cw) {
        s.myMode = s.peerMode = LinkMode::TextChat;
        return;
    }
    s.myMode = s.peerMode = LinkMode::CwChat;
    s.mySpeed = s.peerSpeed = m_practice != nullptr ? m_practice->selectedSpeed() : 0;
    if (m_window != nullptr) {
        m_window->setTeacherLine(RoleCaption::ChatSelf(s), Colour::Black);
        m_window->setStudentLine(RoleCaption::ChatPeer(s), Colour::Unchanged);
    }
}
