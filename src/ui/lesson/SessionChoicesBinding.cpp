#include "ui/lesson/SessionChoicesBinding.h"

#include <QRadioButton>

#include "core/link/SessionChoices.h"
#include "ui/kit/OptionBinding.h"
#include "ui/lesson/LessonUi.h"
#include "ui/link/LinkUi.h"

SessionChoicesBinding::SessionChoicesBinding(SessionChoices& choices, const LessonUi& ui,
                                             const LinkUi& linkUi) {
    BindOptions(
        choices, &SessionChoices::roleChanged, &SessionChoices::role, &SessionChoices::setRole,
        {{linkUi.TeacherOption, Role::Setter}, {linkUi.StudentOption, Role::Answerer}}, Role::None);
    BindOptions(choices, &SessionChoices::modeChanged, &SessionChoices::mode,
                &SessionChoices::setMode,
                {{ui.StepMode_Option, PracticeMode::Step},
                 {ui.NormalMode_Option, PracticeMode::Normal},
                 {linkUi.ChatMode_Option, PracticeMode::Chat}},
                PracticeMode::None);
    BindOptions(choices, &SessionChoices::chatKindChanged, &SessionChoices::chatKind,
                &SessionChoices::setChatKind,
                {{linkUi.optionMoji, ChatKind::Text}, {linkUi.optionCw, ChatKind::Cw}},
                ChatKind::None);
}
