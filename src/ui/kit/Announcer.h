#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/kit/Clock.h"

class QLabel;

// Speaks short texts through the screen reader: each text becomes a one-pixel notification
// object of its own, named with the text and shown, as screen readers (Orca among them) present
// a notification when it appears, wherever the focus is. A fresh object for each keeps every
// text readable by name for as long as a screen reader may take to ask.
//
// A screen reader stops what it is saying for the next notification and for a focus that
// moves, so texts are said one after the other, each given the time it takes to say: a text
// waits while another is being said, while the focus is being read, and while sound that speech
// would cover is still to come. A text waiting for its turn is dropped when a newer one of the
// same topic comes (a status line that changed again), or when it is the same as one waiting
// or just said. Under a flood the oldest waiting go first.
class Announcer : public QObject {
    Q_OBJECT
  public:
    Announcer(QWidget* window, Clock& clock);
    ~Announcer() override;

    // A topic names what a text tells of (a label's name); without one a text supersedes none.
    void announce(const QString& text, const QString& topic = QString());

    // Forgets every text still waiting to be said: what begins now supersedes them all.
    void dropWaiting();

    // Announces every new text the label shows (a value label, which tells as it paints), as
    // phrase words it, under the label's name as topic; an empty phrase says nothing.
    using Phrase = std::function<QString(const QString&)>;
    void announceShownText(QLabel* label, Phrase phrase);

    // How much of the sound that speech must not cover is still to come, in ms.
    void setSoundAhead(std::function<qint64()> msAhead) { m_soundAhead = std::move(msAhead); }

    // Whether a screen reader listens: what would hold the program for its speech holds only
    // then. Asked of the accessibility bridge unless set.
    bool listening() const;
    void setListening(std::optional<bool> listening) { m_listening = listening; }

    // Whether everything announced has been said.
    bool said() const;
    // Runs resume once what has just been shown has been announced and said, when a screen
    // reader listens (from the event loop, while context lives); at once otherwise.
    void afterSaid(QObject* context, std::function<void()> resume);
    // Runs action once everything announced has been said (at once when it has, or when no
    // screen reader listens).
    void whenSaid(QObject* context, std::function<void()> action);

    // What was announced last (said or still waiting), and how many texts were announced.
    const QString& lastAnnouncement() const { return m_text; }
    int announcements() const { return m_count; }
    // What was handed to the screen reader, when, in order (the latest few).
    struct Said {
        qint64 at;
        QString text;
    };
    const QList<Said>& saidTexts() const { return m_said; }
    // The notification objects still kept, the newest last.
    QList<QWidget*> notices() const;

    // Registers the accessible interface of the notices with Qt. Safe to call again.
    static void installAccessibility();

  private:
    struct Waiting {
        QString text;
        QString topic;
        qint64 since;
    };
    struct Follower {
        QPointer<QObject> context;
        std::function<void()> action;
    };

    void focusMoved(QWidget* from, QWidget* to);
    void busyUntil(qint64 time);
    void schedule();
    void sayNext();
    void show(const QString& text);
    void runFollowers();

    QWidget* m_window;
    Clock& m_clock;
    std::function<qint64()> m_soundAhead;
    std::optional<bool> m_listening;
    QList<Waiting> m_waiting;
    QList<Follower> m_followers;
    qint64 m_busyUntil = 0;  // the screen reader speaks until then
    Clock::TimerId m_timer = 0;
    qint64 m_timerDue = 0;
    QList<QPointer<QWidget>> m_notices;
    QList<Said> m_said;
    QString m_text;
    int m_count = 0;
};
