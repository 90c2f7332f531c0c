#pragma once

class QAction;
class QMenu;

// The main window's record menu, which opens the lesson history window.
struct HistoryUi {
    QMenu* mnuRecord = nullptr;
    QAction* mnuRecordHistory = nullptr;
};
