#pragma once

#include <QObject>
#include <QPointer>

#include "core/history/HistoryStore.h"
#include "ui/kit/FormContext.h"

class HistoryWindow;
struct HistoryUi;

// The menu entry that opens the history window on what is stored now; one window at a time. A
// history that cannot be read is said so instead.
class HistoryMenu : public QObject {
    Q_OBJECT
  public:
    HistoryMenu(const FormContext& form, const HistoryUi& ui, HistoryStore& store,
                QObject* parent = nullptr);

    void MainForm_mnuRecordHistory_Click();

    HistoryWindow* window() const;

  private:
    // Says why; a corrupt file is moved aside, so that the next lesson begins a new one.
    void tellUnreadable(const HistoryStore::Outcome& outcome);

    FormContext m_form;
    HistoryStore& m_store;
    QPointer<HistoryWindow> m_window;
};
