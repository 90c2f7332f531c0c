#include "ui/app/SendingPracticeEnd.h"

#include "core/history/HistoryStore.h"
#include "core/history/SendingRecord.h"
#include "ui/kit/DesktopServices.h"
#include "ui/lesson/FistReportWindow.h"

using namespace Qt::StringLiterals;

void FinishSendingPractice(QWidget* parent, DesktopServices& desktop, HistoryStore& store,
                           const SendingResult& result, const KeyingSession& keying) {
    const QDateTime now = desktop.currentDateTime();
    const std::optional<SendingSession> kept = RecordOfPractice(result, keying, now);
    if (!kept) {
        return;
    }
    const SendingSession& session = *kept;
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
