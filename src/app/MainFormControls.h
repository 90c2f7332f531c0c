#pragma once

#include "SoundControls.h"

struct MainFormUi;

// The generators' view of the main window's tone and fine-adjustment controls.
class MainFormControls : public SoundControls {
  public:
    explicit MainFormControls(const MainFormUi& ui) : m_ui(ui) {}

    QString toneText() const override;
    int fineAdjustValue() const override;

  private:
    const MainFormUi& m_ui;
};
