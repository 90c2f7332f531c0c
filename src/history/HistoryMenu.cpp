#include "history/HistoryMenu.h"

#include <QAction>

#include "common/DesktopServices.h"
#include "common/MainFormUi.h"
#include "history/HistoryStore.h"
#include "history/HistoryWindow.h"

using namespace Qt::StringLiterals;

HistoryMenu::HistoryMenu(const FormContext& form, HistoryStore& store, QObject* parent)
    : QObject(parent), m_form(form), m_store(store) {
    connect(m_form.ui.mnuRecordHistory, &QAction::triggered, this,
            &HistoryMenu::MainForm_mnuRecordHistory_Click);
}

void HistoryMenu::MainForm_mnuRecordHistory_Click() {
    if (m_window) {
        // The open window shows what was stored when it opened: open it afresh.
        m_window->close();
    }
    HistoryStore::Outcome outcome;
    QList<LessonRecord> lessons = m_store.load(&outcome);
    if (!outcome.ok) {
        m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Warning, u"成績履歴"_s,
                                   u"成績履歴を読めませんでした（%1）。"_s.arg(outcome.error));
        return;
    }
    m_window = new HistoryWindow(std::move(lessons), m_form.desktop,
                                 m_form.desktop.currentDateTime(), &m_form.window);
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

HistoryWindow* HistoryMenu::window() const {
    return m_window;
}
