#pragma once

#include "core/kit/Clock.h"
#include "core/lesson/LessonSession.h"
#include "ui/app/MainForm.h"

// A press that starts a lesson returns at once, and the lesson goes on as it is heard: this lets
// the clock run until it is over and its result window closed, as a user waiting for it would.
inline void AwaitLesson(MainForm& form, Clock& clock) {
    WaitUntil(clock, [&form] { return !form.lessonSession().running(); });
}
