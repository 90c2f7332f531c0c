#include "core/history/SendingRecord.h"

#include "core/morse/KeyingSession.h"

using namespace Qt::StringLiterals;

namespace {

QString SendingModeName(SendingMode mode) {
    switch (mode) {
        case SendingMode::Copy:
            return u"見て送信"_s;
        case SendingMode::Echo:
            return u"エコー"_s;
        case SendingMode::Free:
            break;
    }
    return u"自由送信"_s;
}

}  // namespace

SendingSession ToSendingSession(const SendingResult& result, FistReport report,
                                QDateTime finishedAt) {
    SendingSession session;
    session.finishedAt = finishedAt.toUTC();
    session.mode = SendingModeName(result.mode);
    session.charactersKeyed = result.charactersKeyed;
    session.report = std::move(report);
    const auto judged = [&session](int right, int tries) {
        session.right = right;
        session.tries = tries;
        if (tries > 0) {
            session.score = 100.0 * right / tries;
        }
    };
    if (result.mode == SendingMode::Copy) {
        judged(result.rightCharacters, result.sentCharacters);
    } else if (result.mode == SendingMode::Echo) {
        judged(result.groupsRight, result.groupTries);
    }
    return session;
}

std::optional<SendingSession> RecordOfPractice(const SendingResult& result,
                                               const KeyingSession& keying, QDateTime finishedAt) {
    if (result.charactersKeyed == 0 || keying.timings().empty()) {
        return std::nullopt;
    }
    return ToSendingSession(result, MakeFistReport(keying.timings(), keying.characters()),
                            std::move(finishedAt));
}
