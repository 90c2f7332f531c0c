#include "core/partner/PartnerSession.h"

#include <QRegularExpression>
#include <utility>

#include "core/lesson/SendingTexts.h"
#include "core/link/MessageCodes.h"
#include "core/link/WireCodec.h"
#include "core/partner/QuestionSource.h"

using namespace Qt::StringLiterals;

namespace {

// Between two of the partner's own messages, so that the trainer receives them apart.
constexpr int kBetweenSendsMs = 150;
// Time for the learner's CW line to be heard before the partner answers.
constexpr int kReplyDelayMs = 1500;
// Between the verdict and the group that follows it, so that the two are heard apart.
constexpr int kEchoAfterVerdictMs = 1000;

}  // namespace

PartnerSession::PartnerSession(QString callsign, QuestionSource& questions, int composeMs,
                               Clock& clock)
    : m_callsign(std::move(callsign)),
      m_questions(questions),
      m_composeMs(composeMs),
      m_module(m_link, m_socket, clock, [] { return QDateTime::currentDateTime(); }) {
    m_link.myCallsign = m_callsign;
    m_link.sendDone = true;
    m_module.setWindow(this);
    m_module.setPracticeSide(this);
    QObject::connect(&m_module, &QuillNetModule::answererStatusReceived, &m_module,
                     [this](LinkStatus status) { answererStatus(status); });
    QObject::connect(&m_module, &QuillNetModule::chatStatusReceived, &m_module,
                     [this](LinkStatus status) { chatStatus(status); });
    QObject::connect(&m_module, &QuillNetModule::chatReceived, &m_module,
                     [this](const QString& text) { event(u"chat: "_s + text); });
    QObject::connect(&m_module, &QuillNetModule::cwChatReceived, &m_module,
                     [this](const QString& text) { cwReceived(text); });
}

PartnerSession::Reaction PartnerSession::linkUp() {
    return {{{0, MessageType::Callsign, m_callsign}}, {u"link up"_s}};
}

PartnerSession::Reaction PartnerSession::received(const QByteArray& data) {
    m_reaction = {};
    m_module.DispatchNetMessage(data);
    return std::exchange(m_reaction, {});
}

PartnerSession::Reaction PartnerSession::received(QChar type, const QString& payload) {
    return received(WireCodec::Encode(type, payload));
}

void PartnerSession::send(int delayMs, int type, const QString& payload) {
    m_reaction.sends.append({delayMs, type, payload});
}

void PartnerSession::event(const QString& line) {
    m_reaction.events.append(line);
}

void PartnerSession::peerJoined() {
    // The partner sets the questions: the learner answers.
    send(kBetweenSendsMs, MessageType::Role, RoleCode::kBecomeAnswerer);
    event(u"learner %1; the partner sets the questions"_s.arg(m_link.peerCallsign));
    if (!m_bandRequest.isEmpty()) {
        send(kBetweenSendsMs, MessageType::Speed, m_bandRequest);
        event(u"asked for band conditions: "_s + m_bandRequest);
    }
}

void PartnerSession::takeRole(bool setter) {
    if (setter) {
        event(u"the learner answers"_s);
        return;
    }
    // The learner chose to set: the partner only sets, and says so by taking it back.
    send(kBetweenSendsMs, MessageType::Role, RoleCode::kBecomeAnswerer);
    event(u"the learner chose to set questions; the partner keeps setting them"_s);
}

void PartnerSession::takeChat(bool cw) {
    if (cw && !m_cwChat) {
        m_cwChat = true;
        send(kBetweenSendsMs, MessageType::Mode, ModeCode::kCwChat);
        event(u"CW chat"_s);
        if (m_echo) {
            sendEchoGroup(kReplyDelayMs);
        }
        return;
    }
    if (!cw) {
        m_cwChat = false;
    }
    event(u"mode "_s + (cw ? ModeCode::kCwChat : ModeCode::kTextChat));
}

void PartnerSession::selectReceiveMode(bool step) {
    event(u"mode "_s + (step ? ModeCode::kStep : ModeCode::kNormal));
}

void PartnerSession::answererStatus(LinkStatus status) {
    switch (status) {
        case LinkStatus::Ready: {
            if (m_lesson == Lesson::QuestionSent) {
                event(u"ready again: the question is waiting"_s);
                return;
            }
            const QString question = m_questions.next();
            m_lesson = Lesson::QuestionSent;
            send(0, MessageType::SetterStatus, SetterCode::kComposing);
            send(m_composeMs, MessageType::Question, question);
            send(kBetweenSendsMs, MessageType::SetterStatus, SetterCode::kQuestionSent);
            event(u"ready; question: "_s + question);
            return;
        }
        case LinkStatus::TestRunning:
            m_lesson = Lesson::Testing;
            event(u"test running"_s);
            return;
        case LinkStatus::TestFinished:
        case LinkStatus::TestAborted:
            m_lesson = Lesson::Idle;
            event(status == LinkStatus::TestFinished ? u"test finished"_s : u"test aborted"_s);
            return;
        default:
            return;
    }
}

void PartnerSession::chatStatus(LinkStatus status) {
    if (status == LinkStatus::SendingEnded && !m_keyed.isEmpty()) {
        cwLine(std::exchange(m_keyed, {}));
    }
}

void PartnerSession::cwReceived(const QString& text) {
    if (text.size() == 1) {
        m_keyed += text;  // a keyed character; the run ends with a chat status
        // A line typed as one character has no such end: a reply as long as the echo group is
        // judged at once.
        if (m_echo && !m_echoGroup.isEmpty() &&
            FoldedGroup(m_keyed).size() >= FoldedGroup(m_echoGroup).size()) {
            cwLine(std::exchange(m_keyed, {}));
        }
        return;
    }
    cwLine(text);
}

void PartnerSession::cwLine(const QString& line) {
    if (m_echo && !m_echoGroup.isEmpty()) {
        echoLine(line);
        return;
    }
    const QString reply = cwReply(line);
    send(kReplyDelayMs, MessageType::CwChat, reply);
    event(u"CW received: "_s + line);
    event(u"CW reply: "_s + reply);
}

void PartnerSession::sendEchoGroup(int delayMs) {
    if (m_echoGroup.isEmpty()) {
        m_echoGroup = m_questions.nextGroup();
    }
    send(delayMs, MessageType::CwChat, m_echoGroup);
    event(u"echo group: "_s + m_echoGroup);
}

// A verdict of one sign: short to wait through, and on a line of its own, never taken for a
// group. A wrong group comes again, so the learner hears what was to be keyed.
void PartnerSession::echoLine(const QString& line) {
    const bool right = SameGroup(m_echoGroup, line);
    ++m_echoTries;
    event(u"echo %1: %2 for %3 (%4 of %5 right)"_s
              .arg(right ? u"right"_s : u"wrong"_s, line, m_echoGroup)
              .arg(m_echoRight + (right ? 1 : 0))
              .arg(m_echoTries));
    send(kReplyDelayMs, MessageType::CwChat, right ? u"R"_s : u"?"_s);
    if (right) {
        ++m_echoRight;
        m_echoGroup.clear();
    }
    sendEchoGroup(kEchoAfterVerdictMs);
}

QString PartnerSession::cwReply(const QString& line) const {
    static const QRegularExpression kCallsign(u"\\b([A-Z]{1,2}|[0-9][A-Z])[0-9][A-Z]{1,3}\\b"_s);
    const QString upper = line.toUpper();
    QString call = m_link.peerCallsign.toUpper();
    for (auto match = kCallsign.globalMatch(upper); match.hasNext();) {
        const QString found = match.next().captured(0);
        if (found != m_callsign.toUpper()) {
            call = found;
            break;
        }
    }
    const QString own = m_callsign.toUpper();
    if (upper.contains(u"73"_s) || upper.contains(u"SK"_s)) {
        return u"%1 DE %2 TNX FER QSO 73 TU"_s.arg(call, own);
    }
    return u"%1 DE %2 GM TNX FER CALL UR 599 599 BK"_s.arg(call, own);
}
