#pragma once

#include <QObject>
#include <QPointer>

#include "common/FormContext.h"

class HistoryStore;
class HistoryWindow;

// The menu entry that opens the history window on what is stored now; one window at a time.
class HistoryMenu : public QObject {
    Q_OBJECT
  public:
    HistoryMenu(const FormContext& form, HistoryStore& store, QObject* parent = nullptr);

    void MainForm_mnuRecordHistory_Click();

    HistoryWindow* window() const;

  private:
    FormContext m_form;
    HistoryStore& m_store;
    QPointer<HistoryWindow> m_window;
};
