#include "ui/link/LinkAnnouncements.h"

#include <QLabel>
#include <QRegularExpression>

#include "core/kit/LinkState.h"
#include "core/link/ChatSession.h"
#include "core/link/QuillNetModule.h"
#include "ui/kit/Announcer.h"
#include "ui/link/LinkUi.h"

LinkAnnouncements::LinkAnnouncements(Announcer& announcer, const LinkUi& ui, QuillNetModule& module,
                                     ChatSession& cwChat, QObject* parent)
    : QObject(parent) {
    announcer.announceShownText(ui.StatusLabel, [](const QString& text) { return text; });
    announcer.announceShownText(ui.TeacherLabel, [this](const QString& text) {
        return roleLinePhrase(text, m_teacherLine);
    });
    announcer.announceShownText(ui.StudentLabel, [this](const QString& text) {
        return roleLinePhrase(text, m_studentLine);
    });
    connect(&module, &QuillNetModule::lineLogged, &announcer,
            [&announcer](const QString& line) { announcer.announce(LinePhrase(line)); });
    connect(&cwChat, &ChatSession::receivingStopped, &announcer,
            [&announcer] { announcer.announce(QStringLiteral("受信CWを止めました。")); });
}

QString LinkAnnouncements::roleLinePhrase(const QString& text, QString& previous) const {
    const bool typingNotice =
        text.contains(Text(LinkStatus::Typing)) || previous.contains(Text(LinkStatus::Typing));
    // The line without the status it showed: that status is over, which what ended it tells.
    const bool statusEnded = previous.startsWith(text + u'[');
    previous = text;
    return typingNotice || statusEnded ? QString() : text;
}

QString LinkAnnouncements::LinePhrase(const QString& line) {
    // "(2026/12/07 20:41:59)" at the end: a string of figures nobody wants read out.
    static const QRegularExpression stamp(QStringLiteral("\\([0-9/ :.\\-]+\\)$"));
    QString phrase = line;
    phrase.remove(stamp);
    return phrase.trimmed();
}
