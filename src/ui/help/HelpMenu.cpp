#include "ui/help/HelpMenu.h"

#include <QAction>
#include <QDir>
#include <QUrl>

#include "core/kit/Places.h"
#include "ui/help/AboutText.h"
#include "ui/help/HelpUi.h"
#include "ui/help/frmAbout.h"
#include "ui/kit/DesktopServices.h"
#include "ui/kit/WindowOpening.h"

using namespace Qt::StringLiterals;

HelpMenu::HelpMenu(const FormContext& form, const HelpUi& ui, const Places& places, QObject* parent)
    : QObject(parent), m_form(form), m_places(places) {
    connect(ui.mnuHelpReadme, &QAction::triggered, this, &HelpMenu::MainForm_mnuHelpReadme_Click);
    connect(ui.mnuHelpOnline, &QAction::triggered, this, &HelpMenu::MainForm_mnuHelpOnline_Click);
    connect(ui.mnuHelpAbout, &QAction::triggered, this, &HelpMenu::MainForm_mnuHelpAbout_Click);
}

void HelpMenu::MainForm_mnuHelpReadme_Click() {
    open(QUrl::fromLocalFile(m_places.readMePath()), &m_form.window);
}

void HelpMenu::MainForm_mnuHelpOnline_Click() {
    open(QUrl::fromLocalFile(m_places.manualPath()), &m_form.window);
}

void HelpMenu::open(const QUrl& target, QWidget* owner) {
    if (m_form.desktop.openUrl(target)) {
        return;
    }
    // No program on this desktop opens it: say where it is, so that the user can open it.
    const QString where =
        target.isLocalFile() ? QDir::toNativeSeparators(target.toLocalFile()) : target.toString();
    m_form.desktop.showMessage(
        owner, DesktopServices::Icon::Information, u"開けませんでした"_s,
        // One sentence a line: a message box would otherwise break words anywhere.
        u"これを開くプログラムがデスクトップに見つかりませんでした。\n"
        u"次の場所を、ファイルマネージャーかブラウザーで開いて下さい。\n\n"_s +
            where);
}

void HelpMenu::MainForm_mnuHelpAbout_Click() {
    const QString homePage = HomePageAddress(m_places.manualPath());
    frmAbout about(homePage, &m_form.window);
    connect(&about, &frmAbout::homePageWanted, this,
            [this, homePage, &about] { open(QUrl(homePage), &about); });
    ShowModal(m_form.clock, &about, &m_form.window, {3100, 2000});
}
