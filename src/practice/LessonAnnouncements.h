#pragma once

#include <QObject>

class Announcer;
struct MainFormUi;
class QWidget;

// Speaks the lesson's feedback to a screen-reader user as it appears: what Label1 shows (the
// call-up's names, "○" as 正解, the character that was missed) and every new count.
class LessonAnnouncements : public QObject {
    Q_OBJECT
  public:
    LessonAnnouncements(QWidget& window, const MainFormUi& ui, QObject* parent = nullptr);

    Announcer& announcer() { return *m_announcer; }

  private:
    Announcer* m_announcer;
};
