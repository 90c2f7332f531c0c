#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QLabel;

// Speaks short texts through the screen reader: each text becomes a one-pixel notification
// object of its own, named with the text and shown, as screen readers (Orca among them) present
// a notification when it appears, wherever the focus is. A fresh object for each keeps every
// text readable by name for as long as a screen reader may take to ask.
class Announcer : public QObject {
    Q_OBJECT
  public:
    explicit Announcer(QWidget* window);

    void announce(const QString& text);

    // Announces every new text the label shows (a value label, which tells as it paints), as
    // phrase words it; an empty phrase says nothing.
    using Phrase = std::function<QString(const QString&)>;
    void announceShownText(QLabel* label, Phrase phrase);

    // What was announced last, and how many announcements were made.
    const QString& lastAnnouncement() const { return m_text; }
    int announcements() const { return m_count; }
    // The notification objects still kept, the newest last.
    QList<QWidget*> notices() const;

    // Registers the accessible interface of the notices with Qt. Safe to call again.
    static void installAccessibility();

  private:
    QWidget* m_window;
    QList<QPointer<QWidget>> m_notices;
    QString m_text;
    int m_count = 0;
};
