#pragma once

#include <QObject>
#include <QString>

#include "core/history/KochCourse.h"
#include "ui/kit/FormContext.h"

class Announcer;
class QAction;
class QActionGroup;
class QMenu;
struct PartnerUi;

// The Koch course of solo practice, in the partner menu: the level and what the next one needs,
// a step back, a level chosen by hand, another order from a file. After every lesson against the
// partner the recent lessons are weighed, and the next character is added once the learner is
// ready; the partner reads the course before its next question.
class KochCourseMenu : public QObject {
    Q_OBJECT
  public:
    KochCourseMenu(const FormContext& form, const PartnerUi& ui, Announcer& announcer,
                   QString historyPath, QObject* parent = nullptr);

    // A lesson against the partner has been kept in the history.
    void lessonKept();

    const KochCourse& course() const { return m_course; }
    const QString& coursePath() const { return m_path; }
    QMenu* menu() const { return m_menu; }

  private:
    void showStatus();
    void setLevel(int level);
    void goBack();
    void readOrder();
    void keep();
    void showLevel();
    KochGate gate() const;

    FormContext m_form;
    Announcer& m_announcer;
    QString m_historyPath;
    QString m_path;
    KochCourse m_course;
    QMenu* m_menu;
    QMenu* m_levels;
    QActionGroup* m_levelGroup;
};
