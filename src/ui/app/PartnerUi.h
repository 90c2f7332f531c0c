#pragma once

class QAction;
class QMenu;

// The main window's menu for practising alone against the practice partner program.
struct PartnerUi {
    QMenu* mnuPartner = nullptr;
    QAction* mnuPartnerSolo = nullptr;
};
