#pragma once

#include <QObject>

#include "common/FormContext.h"

class Places;

// The help menu: the read-me and the manual opened with the desktop's own viewers, and the about
// box. An opening that fails says nothing, as the desktop's handler decides.
class HelpMenu : public QObject {
    Q_OBJECT
  public:
    HelpMenu(const FormContext& form, const Places& places, QObject* parent = nullptr);

    void MainForm_mnuHelpReadme_Click();
    void MainForm_mnuHelpOnline_Click();
    void MainForm_mnuHelpAbout_Click();

  private:
    FormContext m_form;
    const Places& m_places;
};
