#pragma once

#include "ui/kit/FormContext.h"

struct LessonUi;
struct LinkUi;
struct SoundUi;

// What the practice side's handlers work on besides the form: the lesson's own controls, and
// those of the link and of the sound settings that a lesson reads and sets.
struct PracticeWindow : FormContext {
    const LessonUi& ui;
    const LinkUi& linkUi;
    const SoundUi& soundUi;
};
