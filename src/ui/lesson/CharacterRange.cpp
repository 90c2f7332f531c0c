#include "ui/lesson/CharacterRange.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>

#include "core/link/SessionChoices.h"
#include "ui/lesson/LessonUi.h"
#include "ui/link/LinkUi.h"

namespace {

struct Range {
    QAction* LessonUi::*entry;
    char16_t first;
    char16_t last;
};

constexpr Range kRanges[] = {
    {&LessonUi::mnuMojiHanniAtoE, u'A', u'E'}, {&LessonUi::mnuMojiHanniFtoJ, u'F', u'J'},
    {&LessonUi::mnuMojiHanniKtoO, u'K', u'O'}, {&LessonUi::mnuMojiHanniPtoT, u'P', u'T'},
    {&LessonUi::mnuMojiHanniUtoZ, u'U', u'Z'}, {&LessonUi::mnuMojiHanniAll, u'A', u'Z'},
};

}  // namespace

CharacterRange::CharacterRange(const LessonUi& ui, const SessionChoices& choices, QObject* parent)
    : QObject(parent), m_ui(ui), m_choices(choices) {
    for (const Range& range : kRanges) {
        QAction* entry = m_ui.*range.entry;
        connect(entry, &QAction::triggered, this,
                [this, entry, range] { RangeChosen(entry, range.first, range.last); });
    }
}

void CharacterRange::RangeChosen(QAction* entry, char16_t first, char16_t last) {
    // A checkable entry unchecks itself when clicked: the marks are set here, one of six.
    for (const Range& range : kRanges) {
        (m_ui.*range.entry)->setChecked(m_ui.*range.entry == entry);
    }
    if (m_choices.normalMode() || m_choices.chatMode()) {
        return;
    }
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        m_ui.answerButton(QChar(letter))->setEnabled(letter >= first && letter <= last);
    }
}
