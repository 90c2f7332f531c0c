#pragma once

#include <QStringView>

#include "core/link/SessionChoices.h"

// A kind of lesson: what it does after each character sounds, how it judges and what it reports
// at the end. Step and Normal are two; a new kind is one more class behind this interface,
// listed in LessonKindFor.
class LessonKind {
  public:
    virtual ~LessonKind() = default;

    // The practice mode whose option chooses it; None for no lesson. What follows is false
    // unless the kind says otherwise.
    virtual PracticeMode mode() const = 0;
    // The word the history keeps it under ("step", "normal"); empty for no lesson.
    virtual QStringView historyName() const { return {}; }
    // It judges each character as it is answered: the answer buttons and typed keys answer, and
    // the correct count and the misses count.
    virtual bool judgesEachCharacter() const { return false; }
    // After the character of this token begins to sound, the lesson waits for its answer.
    virtual bool waitsForAnswerAfter(QStringView token) const {
        Q_UNUSED(token);
        return false;
    }
    // At the end, the question itself is shown (in the answer box, or a window when long).
    virtual bool showsQuestionAtEnd() const { return false; }
    // The answerer copies into the copy box, scored against the question at the end.
    virtual bool takesCopy() const { return false; }
    // A stop asks whether to show what was sent so far.
    virtual bool asksAfterStop() const { return false; }
};

// The kind the practice mode chooses; for chat or no mode, one whose mode is None and which
// does none of these.
const LessonKind& LessonKindFor(PracticeMode mode);
