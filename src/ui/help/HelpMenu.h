#pragma once

#include <QObject>
#include <QUrl>

#include "ui/kit/FormContext.h"

class Places;
struct HelpUi;

// The help menu: the read-me and the manual opened with the desktop's own viewers, and the about
// box. When the desktop has nothing to open a document with, a message says where it is.
class HelpMenu : public QObject {
    Q_OBJECT
  public:
    HelpMenu(const FormContext& form, const HelpUi& ui, const Places& places,
             QObject* parent = nullptr);

    void MainForm_mnuHelpReadme_Click();
    void MainForm_mnuHelpOnline_Click();
    void MainForm_mnuHelpAbout_Click();

  private:
    void open(const QUrl& target, QWidget* owner);

    FormContext m_form;
    const Places& m_places;
};
