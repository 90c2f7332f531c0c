#include "help/HelpMenu.h"

#include <QAction>
#include <QUrl>

#include "common/DesktopServices.h"
#include "common/MainFormUi.h"
#include "common/Places.h"
#include "common/WindowOpening.h"
#include "help/AboutText.h"
#include "help/frmAbout.h"

HelpMenu::HelpMenu(const FormContext& form, const Places& places, QObject* parent)
    : QObject(parent), m_form(form), m_places(places) {
    connect(m_form.ui.mnuHelpReadme, &QAction::triggered, this,
            &HelpMenu::MainForm_mnuHelpReadme_Click);
    connect(m_form.ui.mnuHelpOnline, &QAction::triggered, this,
            &HelpMenu::MainForm_mnuHelpOnline_Click);
    connect(m_form.ui.mnuHelpAbout, &QAction::triggered, this,
            &HelpMenu::MainForm_mnuHelpAbout_Click);
}

void HelpMenu::MainForm_mnuHelpReadme_Click() {
    m_form.desktop.openUrl(QUrl::fromLocalFile(m_places.readMePath()));
}

void HelpMenu::MainForm_mnuHelpOnline_Click() {
    m_form.desktop.openUrl(QUrl::fromLocalFile(m_places.manualPath()));
}

void HelpMenu::MainForm_mnuHelpAbout_Click() {
    const QString homePage = HomePageAddress(m_places.manualPath());
    frmAbout about(homePage, &m_form.window);
    connect(&about, &frmAbout::homePageWanted, this,
            [this, homePage] { m_form.desktop.openUrl(QUrl(homePage)); });
    ShowModal(m_form.clock, &about, &m_form.window, {3100, 2000});
}
