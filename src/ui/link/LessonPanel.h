#pragma once

#include "core/kit/LessonState.h"

// The lesson's controls as the link and the question exchange set them: the main, stop and pass
// buttons, the receive modes, the display and counts, the model answer box and the answer
// buttons belong to the practice side above, which carries these out. Each call changes its
// controls in the order the handlers always have, so the focus moves as it did.
class LessonPanel {
  public:
    virtual ~LessonPanel() = default;

    // The main button's state, its caption showing it.
    virtual void showMainButton(MainButton state) = 0;
    virtual void setMainButtonEnabled(bool enabled) = 0;
    virtual void setPassEnabled(bool enabled) = 0;
    virtual void setAnswerButtonsEnabled(bool enabled) = 0;
    virtual void setReceiveModesEnabled(bool enabled) = 0;
    // Step or Normal receive mode is selected.
    virtual void clearModelAnswer() = 0;

    // A role taken: the receive modes usable by the answerer only and neither selected, the main
    // button at the role's first step, it and the stop button usable.
    virtual void applyRole(bool setter) = 0;
    // Chat mode chosen: the display cleared in black, the counts and the three lesson buttons
    // unusable.
    virtual void enterChat() = 0;
    // No link: the receive modes and the three lesson buttons unusable.
    virtual void applyIdle() = 0;
};
