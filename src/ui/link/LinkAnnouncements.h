#pragma once

#include <QObject>
#include <QString>

class Announcer;
class ChatSession;
class QuillNetModule;
struct LinkUi;

// Speaks what the link tells a screen-reader user while the focus is elsewhere: the status
// line, the two role lines (but not the peer's typing notices, which come and go with every
// chat line, nor a status that ends with the lesson that ended it), every log line the peer's
// side adds, without its date stamp, and a received CW line stopped by the user. A newer line
// of each supersedes the one still waiting to be said.
class LinkAnnouncements : public QObject {
    Q_OBJECT
  public:
    LinkAnnouncements(Announcer& announcer, const LinkUi& ui, QuillNetModule& module,
                      ChatSession& cwChat, QObject* parent = nullptr);

    // A log line as it is read out: the line without the stamp at its end.
    static QString LinePhrase(const QString& line);

  private:
    QString roleLinePhrase(const QString& text, QString& previous) const;

    QString m_teacherLine;
    QString m_studentLine;
};
