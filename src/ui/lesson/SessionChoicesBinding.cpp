#include "ui/lesson/SessionChoicesBinding.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "core/link/SessionChoices.h"
#include "ui/kit/OptionBinding.h"
#include "ui/lesson/LessonUi.h"
#include "ui/link/LinkUi.h"

namespace {

// Keeps a text choice and its box the same both ways: what is typed or set into the box, and
// what the model is given.
void BindText(SessionChoices& choices, QLineEdit* box, void (SessionChoices::*changed)(),
              const QString& (SessionChoices::*get)() const,
              void (SessionChoices::*set)(const QString&)) {
    QObject::connect(box, &QLineEdit::textChanged, &choices,
                     [&choices, set](const QString& text) { (choices.*set)(text); });
    QObject::connect(&choices, changed, box, [&choices, box, get] {
        if (box->text() != (choices.*get)()) {
            box->setText((choices.*get)());
        }
    });
    (choices.*set)(box->text());
}

}  // namespace

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
    BindText(choices, linkUi.CallsignText, &SessionChoices::callsignChanged,
             &SessionChoices::callsign, &SessionChoices::setCallsign);
    BindText(choices, linkUi.ConnectIpText, &SessionChoices::peerAddressChanged,
             &SessionChoices::peerAddress, &SessionChoices::setPeerAddress);
    QCheckBox* acceptOnlyPeer = linkUi.AcceptOnlyPeerCheck;
    QObject::connect(acceptOnlyPeer, &QCheckBox::toggled, &choices,
                     &SessionChoices::setAcceptOnlyPeer);
    QObject::connect(
        &choices, &SessionChoices::acceptOnlyPeerChanged, acceptOnlyPeer,
        [&choices, acceptOnlyPeer] { acceptOnlyPeer->setChecked(choices.acceptOnlyPeer()); });
    choices.setAcceptOnlyPeer(acceptOnlyPeer->isChecked());
}
