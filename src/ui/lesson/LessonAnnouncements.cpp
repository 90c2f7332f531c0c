#include "ui/lesson/LessonAnnouncements.h"

#include <QLabel>
#include <QPlainTextEdit>

#include "ui/kit/Announcer.h"
#include "ui/lesson/LessonController.h"
#include "ui/lesson/LessonUi.h"
#include "ui/lesson/QuestionPlayer.h"

using namespace Qt::StringLiterals;

LessonAnnouncements::LessonAnnouncements(Announcer& announcer, const LessonUi& ui,
                                         QuestionPlayer& player, LessonController& lesson,
                                         QObject* parent)
    : QObject(parent), m_announcer(announcer) {
    announcer.announceShownText(ui.Label1, [this](const QString& text) {
        return m_callUpSounding ? QString() : JudgementPhrase(text);
    });
    connect(&lesson, &LessonController::callUpSounding, this, [this](bool sounding) {
        m_callUpSounding = sounding;
        if (sounding) {
            // A lesson begins: the link's news still waiting would only hold it up.
            m_announcer.dropWaiting();
        }
    });
    player.setAnswerPause(
        [this](std::function<void()> resume) { m_announcer.afterSaid(this, std::move(resume)); });
    QLabel* copyScore = ui.CopyScore;
    connect(&player, &QuestionPlayer::playedCountHeard, this, [this, copyScore](int count) {
        if (copyScore->text().isEmpty()) {
            m_announcer.announce(u"出題数 %1"_s.arg(count));
        }
    });
    QPlainTextEdit* answer = ui.AnswerText;
    connect(answer, &QPlainTextEdit::textChanged, this, [this, answer] {
        const QString text = answer->toPlainText();
        if (!text.isEmpty()) {
            m_announcer.announce(u"模範解答 "_s + text);
        }
    });
}

QString LessonAnnouncements::JudgementPhrase(const QString& shown) {
    const QString character = shown.trimmed();
    if (character.isEmpty()) {
        return {};
    }
    return character == u"○"_s ? u"正解"_s : u"不正解 "_s + character;
}
