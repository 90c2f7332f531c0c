#pragma once

#include <QObject>

class Announcer;
class LessonController;
class QuestionPlayer;
struct LessonUi;

// Speaks the lesson to a screen-reader user, never over the Morse: the judgement Label1 shows
// ("○" as 正解, the character that was missed) and the correct count as they appear, the played
// count once its character has sounded (in Step mode, while the lesson waits for the answer; in
// Normal mode once, at the end) and the model answer. The call-up's names are not spoken: they
// would cover the call-up itself.
class LessonAnnouncements : public QObject {
    Q_OBJECT
  public:
    LessonAnnouncements(Announcer& announcer, const LessonUi& ui, QuestionPlayer& player,
                        LessonController& lesson, QObject* parent = nullptr);

    Announcer& announcer() { return m_announcer; }

  private:
    Announcer& m_announcer;
    bool m_callUpSounding = false;
};
