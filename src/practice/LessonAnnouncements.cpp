#include "practice/LessonAnnouncements.h"

#include <QPlainTextEdit>

#include "common/Announcer.h"
#include "practice/LessonController.h"
#include "practice/LessonUi.h"
#include "practice/QuestionPlayer.h"

using namespace Qt::StringLiterals;

namespace {

// A count as read out: "正解数 3"; nothing while it shows no number (Normal mode's " - ").
Announcer::Phrase CountPhrase(const QString& name) {
    return [name](const QString& text) {
        bool number = false;
        text.trimmed().toInt(&number);
        return number ? name + u' ' + text.trimmed() : QString();
    };
}

}  // namespace

LessonAnnouncements::LessonAnnouncements(Announcer& announcer, const LessonUi& ui,
                                         QuestionPlayer& player, LessonController& lesson,
                                         QObject* parent)
    : QObject(parent), m_announcer(announcer) {
    announcer.announceShownText(ui.Label1, [this](const QString& text) {
        if (m_callUpSounding) {
            return QString();
        }
        return text == u"○"_s ? u"正解"_s : text.trimmed();
    });
    announcer.announceShownText(ui.Label2, CountPhrase(u"正解数"_s));
    connect(&lesson, &LessonController::callUpSounding, this,
            [this](bool sounding) { m_callUpSounding = sounding; });
    connect(&player, &QuestionPlayer::playedCountHeard, this,
            [this](int count) { m_announcer.announce(u"出題数 %1"_s.arg(count)); });
    QPlainTextEdit* answer = ui.AnswerText;
    connect(answer, &QPlainTextEdit::textChanged, this, [this, answer] {
        const QString text = answer->toPlainText();
        if (!text.isEmpty()) {
            m_announcer.announce(u"模範解答 "_s + text);
        }
    });
}
