#pragma once

#include <QObject>

class Announcer;
class LessonController;
class QuestionPlayer;
struct LessonUi;

// Speaks the lesson to a screen-reader user, never over the Morse: in Step mode one short
// judgement for each answer ("正解", or "不正解" and the character that was sent), the next
// character held until it has been said when a screen reader listens; in Normal mode the played
// count once at the end, unless the copy's score tells it, and the model answer. The call-up's
// names are not spoken: they would cover the call-up itself. The counts are on their labels.
class LessonAnnouncements : public QObject {
    Q_OBJECT
  public:
    LessonAnnouncements(Announcer& announcer, const LessonUi& ui, QuestionPlayer& player,
                        LessonController& lesson, QObject* parent = nullptr);

    Announcer& announcer() { return m_announcer; }

    // The judgement Label1 shows, as it is said: "○" is 正解, a character the one missed.
    static QString JudgementPhrase(const QString& shown);

  private:
    Announcer& m_announcer;
    bool m_callUpSounding = false;
};
