#include "ui/lesson/AnswerInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

#include "core/kit/LessonState.h"
#include "core/lesson/Grading.h"
#include "core/lesson/LessonKind.h"
#include "core/lesson/LessonSession.h"
#include "core/link/ChatSession.h"
#include "core/link/SessionChoices.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/lesson/LessonUi.h"
#include "ui/link/LinkUi.h"

using namespace Qt::StringLiterals;

namespace {

const QString kPass = u"PASS"_s;

}  // namespace

QString AnswerForKey(int key, const QString& text) {
    if (key == Qt::Key_Escape) {
        return kPass;
    }
    if (text.size() != 1) {
        return {};
    }
    const char16_t code = text.front().unicode();
    if ((code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'Z')) {
        return text;
    }
    if (code >= u'a' && code <= u'z') {
        return QString(QChar(static_cast<char16_t>(code - u'a' + u'A')));
    }
    return {};
}

AnswerInput::AnswerInput(const PracticeWindow& form, LessonSession& session, ChatSession& cwChat,
                         QObject* parent)
    : QObject(parent), m_form(form), m_session(session), m_cwChat(cwChat) {
    const LessonUi& ui = m_form.ui;
    // A miss shows what was sent; a correct answer blanks the display, then shows a circle.
    connect(&session, &LessonSession::judged, this,
            [&ui](Judgement judgement, const QString& sounded) {
                if (judgement == Judgement::Miss) {
                    ShowLabel(ui.Label1, sounded, kBlack);
                } else {
                    ShowLabel(ui.Label1, QString(), kRed);
                }
            });
    connect(&session, &LessonSession::correctShown, this, [&ui] { ui.Label1->setText(u"○"_s); });
    for (std::size_t index = 0; index < ui.answerButtons.size(); ++index) {
        const QChar character = kAnswerButtonCharacters[static_cast<qsizetype>(index)];
        connect(ui.answerButtons[index], &QPushButton::clicked, this,
                [this, character] { AnswerButtonClicked(character); });
    }
    connect(ui.KaitoupassButton_Command, &QPushButton::clicked, this,
            &AnswerInput::MainForm_KaitoupassButton_Command_Click);
    qApp->installEventFilter(this);
}

void AnswerInput::AnswerButtonClicked(QChar character) {
    const LinkUi& linkUi = m_form.linkUi;
    if (m_form.choices.chatMode()) {
        // Shown before it is queued: the first key plays the whole run before returning, and
        // the transcript must keep the keys in the order they were pressed.
        QTextCursor end(linkUi.ChatText->document());
        end.movePosition(QTextCursor::End);
        end.insertText(QString(character));
        m_cwChat.QueueCwChatChar(character);
    } else if (judgesEachCharacter()) {
        m_form.lesson.currentAnswer = character;
        CheckAnswer();
    }
}

bool AnswerInput::judgesEachCharacter() const {
    return LessonKindFor(m_form.choices.mode()).judgesEachCharacter();
}

void AnswerInput::CheckAnswer() {
    m_session.answer(m_form.lesson.currentAnswer);
}

void AnswerInput::MainForm_KaitoupassButton_Command_Click() {
    m_form.lesson.currentAnswer = kPass;
    CheckAnswer();
}

bool AnswerInput::MainForm_Form_KeyPress(int key, const QString& text) {
    if (!judgesEachCharacter() || m_form.lesson.mainButtonEnabled) {
        return false;
    }
    const QString answer = AnswerForKey(key, text);
    if (answer.isEmpty()) {
        // A stray space or Enter is no answer: it neither counts a miss nor presses the button
        // that has the focus.
        return true;
    }
    m_form.lesson.currentAnswer = answer;
    CheckAnswer();
    return true;
}

bool AnswerInput::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != &m_form.window) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Alt + letter is a button's access key, never an answer.
    if (key->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    // As a form sees typed characters: keys that type one, and Escape; not Shift, arrows and
    // the like.
    if (key->key() != Qt::Key_Escape && key->text().isEmpty()) {
        return false;
    }
    if (key->text().size() == 1 && key->text().front().unicode() < 0x20 &&
        key->key() != Qt::Key_Escape && key->key() != Qt::Key_Return &&
        key->key() != Qt::Key_Enter && key->key() != Qt::Key_Backspace) {
        return false;  // Ctrl combinations stay shortcuts
    }
    return MainForm_Form_KeyPress(key->key(), key->text());
}
