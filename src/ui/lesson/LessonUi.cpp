#include "ui/lesson/LessonUi.h"

#include <QLabel>
#include <QPushButton>

#include "ui/kit/ControlHelpers.h"

namespace {

// Where the digits begin among the answer buttons, after the 26 letters.
constexpr int firstDigitIndex = 26;

}  // namespace

QPushButton* LessonUi::answerButton(QChar character) const {
    const char16_t code = character.unicode();
    if (code >= u'a' && code <= u'z') {
        return answerButtons[static_cast<std::size_t>(code - u'a')];
    }
    if (code >= u'A' && code <= u'Z') {
        return answerButtons[static_cast<std::size_t>(code - u'A')];
    }
    if (code >= u'1' && code <= u'9') {
        return answerButtons[static_cast<std::size_t>(firstDigitIndex + code - u'1')];
    }
    if (code == u'0') {
        return answerButtons.back();
    }
    return nullptr;
}

void ShowMainButton(const LessonUi& ui, LessonState& lesson, MainButton state) {
    lesson.mainButton = state;
    SetCaption(ui.StartButton_Command, Caption(state));
}

void ShowStopButton(const LessonUi& ui, LessonState& lesson, StopButton state) {
    lesson.stopButton = state;
    SetCaption(ui.StopButton_Command, Caption(state));
}

void ShowPlayedCount(const LessonUi& ui, LessonState& lesson, std::optional<int> count) {
    lesson.shownPlayed = count;
    ui.Label4->setText(CountText(count));
}

void ShowCorrectCount(const LessonUi& ui, LessonState& lesson, std::optional<int> count) {
    lesson.shownCorrect = count;
    ui.Label2->setText(CountText(count));
}
