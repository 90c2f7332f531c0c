#include "core/lesson/LessonKind.h"

namespace {

// One character at a time: each waits for its answer, which is judged at once; the result
// window ends it.
class StepLesson : public LessonKind {
  public:
    PracticeMode mode() const override { return PracticeMode::Step; }
    QStringView historyName() const override { return u"step"; }
    bool judgesEachCharacter() const override { return true; }
    // The end mark and word spaces are not answered.
    bool waitsForAnswerAfter(QStringView token) const override {
        return token != u"[AR]" && token != u"[Space]";
    }
};

// The whole question without a pause, then the question itself as the model answer.
class NormalLesson : public LessonKind {
  public:
    PracticeMode mode() const override { return PracticeMode::Normal; }
    QStringView historyName() const override { return u"normal"; }
    bool showsQuestionAtEnd() const override { return true; }
    bool takesCopy() const override { return true; }
    bool asksAfterStop() const override { return true; }
};

// No lesson: chat, or no mode chosen.
class NoLesson : public LessonKind {
  public:
    PracticeMode mode() const override { return PracticeMode::None; }
};

const StepLesson kStep;
const NormalLesson kNormal;
const NoLesson kNone;
const LessonKind* const kKinds[] = {&kStep, &kNormal};

}  // namespace

const LessonKind& LessonKindFor(PracticeMode mode) {
    for (const LessonKind* kind : kKinds) {
        if (kind->mode() == mode) {
            return *kind;
        }
    }
    return kNone;
}
