#include "ui/history/HistoryMenu.h"

#include <QAction>
#include <QDir>

#include "core/history/HistoryReader.h"
#include "core/history/HistoryStore.h"
#include "ui/history/HistoryUi.h"
#include "ui/history/HistoryWindow.h"
#include "ui/kit/DesktopServices.h"

using namespace Qt::StringLiterals;

HistoryMenu::HistoryMenu(const FormContext& form, const HistoryUi& ui, HistoryStore& store,
                         QObject* parent)
    : QObject(parent), m_form(form), m_store(store) {
    connect(ui.mnuRecordHistory, &QAction::triggered, this,
            &HistoryMenu::MainForm_mnuRecordHistory_Click);
}

void HistoryMenu::MainForm_mnuRecordHistory_Click() {
    if (m_window) {
        // The open window shows what was stored when it opened: open it afresh.
        m_window->close();
    }
    auto reader = std::make_unique<HistoryReader>(m_store.path(), m_store.busyTimeoutMs());
    HistoryStore::Outcome outcome = reader->open();
    std::unique_ptr<HistoryWindow> window;
    if (outcome.ok) {
        // Its figures are read as it is made: a damaged page may show only then.
        window = std::make_unique<HistoryWindow>(std::move(reader), m_form.desktop,
                                                 m_form.desktop.currentDateTime(), &m_form.window);
        outcome = window->reader().failure().value_or(HistoryStore::Outcome::Ok());
    }
    if (!outcome.ok) {
        window.reset();  // lets go of the file before it may be moved
        tellUnreadable(outcome);
        return;
    }
    m_window = window.release();
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void HistoryMenu::tellUnreadable(const HistoryStore::Outcome& outcome) {
    QString text = u"成績履歴を読めませんでした（%1）。"_s.arg(outcome.error);
    if (outcome.fault == HistoryFault::Corrupt) {
        const QString aside = m_store.setAside();
        if (!aside.isEmpty()) {
            text =
                u"成績履歴のファイルが壊れていて読めませんでした。%1 として残し、"
                u"次の練習から新しいファイルに記録します。"_s.arg(QDir::toNativeSeparators(aside));
        }
    }
    m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Warning, u"成績履歴"_s, text);
}

HistoryWindow* HistoryMenu::window() const {
    return m_window;
}
