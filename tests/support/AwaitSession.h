#pragma once

#include "core/kit/Clock.h"
#include "core/lesson/LessonSession.h"
#include "core/link/ChatSession.h"
#include "ui/app/MainForm.h"
#include "ui/link/PeerLink.h"

// A press that starts a lesson or a CW chat line returns at once, and what it started goes on as
// it is heard: these let the clock run until it is over (a lesson's result window closed), as a
// user waiting for it would.
inline void AwaitLesson(MainForm& form, Clock& clock) {
    WaitUntil(clock, [&form] { return !form.lessonSession().running(); });
}
inline void AwaitCwChat(MainForm& form, Clock& clock) {
    WaitUntil(clock, [&form] { return !form.peerLink().cwChat().playing(); });
}
