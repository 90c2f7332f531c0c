#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QuestionSource;

// The practice partner's side of the exchange: what it sends back for what the learner's trainer
// sends, as the setter's program would. Plain logic on the message types and payloads of the
// link, without sockets or time; the caller sends the messages after their delays, one after
// the other.
class PartnerSession {
  public:
    struct Send {
        int delayMs;  // after the previous send (or now, for the first)
        int type;
        QString payload;
    };
    struct Reaction {
        QList<Send> sends;
        QStringList events;  // one line each, for the partner's output
    };

    PartnerSession(QString callsign, QuestionSource& questions, int composeMs);

    // The link stands: the partner says who it is.
    Reaction linkUp();
    // A message from the learner's trainer.
    Reaction received(QChar type, const QString& payload);

    const QString& peerCallsign() const { return m_peerCallsign; }

    // The CW reply to a line the learner sent: the learner's callsign (the one in the line, else
    // the one the trainer gave), the partner's, and a short exchange; a line that ends the
    // contact gets a closing one.
    QString cwReply(const QString& line) const;

  private:
    enum class Lesson { Idle, QuestionSent, Testing };

    Reaction answererStatus(const QString& payload);
    Reaction cwLine(const QString& line);

    QString m_callsign;
    QuestionSource& m_questions;
    int m_composeMs;
    QString m_peerCallsign;
    Lesson m_lesson = Lesson::Idle;
    bool m_cwChat = false;
    QString m_keyed;  // characters keyed one by one, until the learner's run of keys ends
};
