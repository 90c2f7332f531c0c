#include "ui/app/SendingPracticeEnd.h"

#include "core/history/HistoryStore.h"
#include "ui/kit/DesktopServices.h"
#include "ui/lesson/FistReportWindow.h"
#include "ui/morse/KeyingPad.h"

using namespace Qt::StringLiterals;

namespace {

QString ModeName(SendingMode mode) {
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
    session.mode = ModeName(result.mode);
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

void FinishSendingPractice(QWidget* parent, DesktopServices& desktop, HistoryStore& store,
                           const SendingResult& result, const KeyingPad& pad) {
    if (result.charactersKeyed == 0 || pad.timings().empty()) {
        return;
    }
    const QDateTime now = desktop.currentDateTime();
    const SendingSession session =
        ToSendingSession(result, MakeFistReport(pad.timings(), pad.characters()), now);
    auto* window = new FistReportWindow(
        session.report,
        u"%1 %2"_s.arg(now.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s), session.mode), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();  // Esc and the keys go to the report, not the practice under it
    const HistoryStore::Outcome saved = SaveSendingSession(store, session);
    if (!saved.ok) {
        desktop.showMessage(parent, DesktopServices::Icon::Critical, u"送信練習の記録"_s,
                            u"送信練習を記録できませんでした。\n%1"_s.arg(saved.error));
    }
}
