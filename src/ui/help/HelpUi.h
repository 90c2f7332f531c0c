#pragma once

class QAction;
class QMenu;

// The main window's help menu.
struct HelpUi {
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpReadme = nullptr;
    QAction* mnuHelpOnline = nullptr;
    QAction* mnuHelpAbout = nullptr;
};
