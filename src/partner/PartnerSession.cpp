#include "partner/PartnerSession.h"

#include <QRegularExpression>

#include "net/MessageCodes.h"
#include "partner/QuestionSource.h"

using namespace Qt::StringLiterals;

namespace {

// Between two of the partner's own messages, so that the trainer receives them apart.
constexpr int kBetweenSendsMs = 150;
// Time for the learner's CW line to be heard before the partner answers.
constexpr int kReplyDelayMs = 1500;

}  // namespace

PartnerSession::PartnerSession(QString callsign, QuestionSource& questions, int composeMs)
    : m_callsign(std::move(callsign)), m_questions(questions), m_composeMs(composeMs) {}

PartnerSession::Reaction PartnerSession::linkUp() {
    return {{{0, MessageType::Callsign, m_callsign}}, {u"link up"_s}};
}

PartnerSession::Reaction PartnerSession::received(QChar type, const QString& payload) {
    switch (type.unicode() - u'0') {
        case MessageType::Callsign:
            m_peerCallsign = payload;
            // The partner sets the questions: the learner answers.
            return {{{kBetweenSendsMs, MessageType::Role, RoleCode::kBecomeAnswerer}},
                    {u"learner %1; the partner sets the questions"_s.arg(payload)}};
        case MessageType::Role:
            if (payload == RoleCode::kBecomeAnswerer) {
                // The learner chose to set: the partner only sets, and says so by taking it back.
                return {{{kBetweenSendsMs, MessageType::Role, RoleCode::kBecomeAnswerer}},
                        {u"the learner chose to set questions; the partner keeps setting them"_s}};
            }
            return {{}, {u"the learner answers"_s}};
        case MessageType::Mode:
            if (payload == ModeCode::kCwChat && !m_cwChat) {
                m_cwChat = true;
                return {{{kBetweenSendsMs, MessageType::Mode, ModeCode::kCwChat}}, {u"CW chat"_s}};
            }
            if (payload == ModeCode::kTextChat) {
                m_cwChat = false;
            }
            return {{}, {u"mode "_s + payload}};
        case MessageType::AnswererStatus:
            return answererStatus(payload);
        case MessageType::CwChat:
            if (payload.size() == 1) {
                m_keyed += payload;  // a keyed character; the run ends with a chat status
                return {};
            }
            return cwLine(payload);
        case MessageType::ChatStatus:
            if (payload == ChatCode::kSendingEnded && !m_keyed.isEmpty()) {
                const QString keyed = m_keyed;
                m_keyed.clear();
                return cwLine(keyed);
            }
            return {};
        case MessageType::Chat:
            return {{}, {u"chat: "_s + payload}};
        default:
            return {};
    }
}

PartnerSession::Reaction PartnerSession::answererStatus(const QString& payload) {
    if (payload == AnswererCode::kReady) {
        if (m_lesson == Lesson::QuestionSent) {
            return {{}, {u"ready again: the question is waiting"_s}};
        }
        const QString question = m_questions.next();
        m_lesson = Lesson::QuestionSent;
        return {{{0, MessageType::SetterStatus, SetterCode::kComposing},
                 {m_composeMs, MessageType::Question, question},
                 {kBetweenSendsMs, MessageType::SetterStatus, SetterCode::kQuestionSent}},
                {u"ready; question: "_s + question}};
    }
    if (payload == AnswererCode::kTestRunning) {
        m_lesson = Lesson::Testing;
        return {{}, {u"test running"_s}};
    }
    if (payload == AnswererCode::kTestFinished || payload == AnswererCode::kTestAborted) {
        m_lesson = Lesson::Idle;
        return {{},
                {payload == AnswererCode::kTestFinished ? u"test finished"_s : u"test aborted"_s}};
    }
    return {};
}

PartnerSession::Reaction PartnerSession::cwLine(const QString& line) {
    const QString reply = cwReply(line);
    return {{{kReplyDelayMs, MessageType::CwChat, reply}},
            {u"CW received: "_s + line, u"CW reply: "_s + reply}};
}

QString PartnerSession::cwReply(const QString& line) const {
    static const QRegularExpression kCallsign(u"\\b([A-Z]{1,2}|[0-9][A-Z])[0-9][A-Z]{1,3}\\b"_s);
    const QString upper = line.toUpper();
    QString call = m_peerCallsign.toUpper();
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
