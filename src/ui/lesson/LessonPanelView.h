#pragma once

#include "ui/link/LessonPanel.h"

struct LessonState;
struct LessonUi;

// The lesson's controls of the main window, as the link and the question exchange set them.
class LessonPanelView : public LessonPanel {
  public:
    LessonPanelView(const LessonUi& ui, LessonState& lesson);

    void showMainButton(MainButton state) override;
    void setMainButtonEnabled(bool enabled) override;
    void setPassEnabled(bool enabled) override;
    void setAnswerButtonsEnabled(bool enabled) override;
    void setReceiveModesEnabled(bool enabled) override;
    void clearModelAnswer() override;
    void applyRole(bool setter) override;
    void enterChat() override;
    void applyIdle() override;

  private:
    const LessonUi& m_ui;
    LessonState& m_lesson;
};
