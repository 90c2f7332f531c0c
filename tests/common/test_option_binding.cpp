// The session's choices and the option buttons that show them: however an option changes, the
// model has the new choice before the option's own handlers run, and a choice the model makes
// selects its option as a user's click would.
#include <QButtonGroup>
#include <QRadioButton>
#include <QTest>

#include "core/link/SessionChoices.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/OptionBinding.h"

namespace {

// Three practice mode options in one exclusive group, bound to a model; each option's handler,
// connected after the binding as the program's subsystems are, notes the mode it sees.
struct Rig {
    QWidget window;
    QButtonGroup group;
    QRadioButton step{&window}, normal{&window}, chat{&window};
    SessionChoices choices;
    QList<PracticeMode> seenBySelection;

    Rig() {
        for (QRadioButton* option : {&step, &normal, &chat}) {
            group.addButton(option);
        }
        BindOptions(choices, &SessionChoices::modeChanged, &SessionChoices::mode,
                    &SessionChoices::setMode,
                    {{&step, PracticeMode::Step},
                     {&normal, PracticeMode::Normal},
                     {&chat, PracticeMode::Chat}},
                    PracticeMode::None);
        for (QRadioButton* option : {&step, &normal, &chat}) {
            OnSelected(option, &window, [this] { seenBySelection << choices.mode(); });
        }
    }
    QRadioButton* option(PracticeMode mode) {
        return mode == PracticeMode::Step     ? &step
               : mode == PracticeMode::Normal ? &normal
               : mode == PracticeMode::Chat   ? &chat
                                              : nullptr;
    }
    PracticeMode shown() const {
        return step.isChecked()     ? PracticeMode::Step
               : normal.isChecked() ? PracticeMode::Normal
               : chat.isChecked()   ? PracticeMode::Chat
                                    : PracticeMode::None;
    }
};

enum class Change { Click, SelectQuietly, Deselect, ModelSets };

}  // namespace

class OptionBindingTest : public QObject {
    Q_OBJECT
  private slots:
    void modelAndOptionsAgree_data() {
        QTest::addColumn<PracticeMode>("before");
        QTest::addColumn<Change>("change");
        QTest::addColumn<PracticeMode>("to");
        const PracticeMode none = PracticeMode::None, step = PracticeMode::Step,
                           normal = PracticeMode::Normal, chat = PracticeMode::Chat;
        QTest::newRow("click, none chosen") << none << Change::Click << step;
        QTest::newRow("click, another chosen") << normal << Change::Click << chat;
        // As a selection carried out for the peer is made: the option's signals blocked.
        QTest::newRow("quiet, none chosen") << none << Change::SelectQuietly << normal;
        QTest::newRow("quiet, another chosen") << step << Change::SelectQuietly << normal;
        QTest::newRow("deselect") << chat << Change::Deselect << none;
        QTest::newRow("model chooses") << step << Change::ModelSets << chat;
        QTest::newRow("model chooses none") << normal << Change::ModelSets << none;
    }
    void modelAndOptionsAgree() {
        QFETCH(PracticeMode, before);
        QFETCH(Change, change);
        QFETCH(PracticeMode, to);
        Rig rig;
        if (before != PracticeMode::None) {
            rig.option(before)->click();
        }
        rig.seenBySelection.clear();
        switch (change) {
            case Change::Click:
                rig.option(to)->click();
                break;
            case Change::SelectQuietly:
                SelectAndRun(rig.option(to), [&rig] { rig.seenBySelection << rig.choices.mode(); });
                break;
            case Change::Deselect:
                Deselect(rig.option(before));
                break;
            case Change::ModelSets:
                rig.choices.setMode(to);
                break;
        }
        QCOMPARE(rig.choices.mode(), to);
        QCOMPARE(rig.shown(), to);
        // Whatever handled the selection already saw the new choice, once.
        const QList<PracticeMode> seen =
            to == PracticeMode::None ? QList<PracticeMode>{} : QList<PracticeMode>{to};
        QCOMPARE(rig.seenBySelection, seen);
    }
};

QTEST_MAIN(OptionBindingTest)
#include "test_option_binding.moc"
