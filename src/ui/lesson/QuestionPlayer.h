#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "ui/lesson/PracticeWindow.h"

class LessonSession;

// Shows a lesson's question as its session plays it: the counts, a question that cannot be
// played, the end of the question and the model answer; and tells the other parts of the window
// of the end.
class QuestionPlayer : public QObject {
    Q_OBJECT
  public:
    QuestionPlayer(const PracticeWindow& form, LessonSession& session, QObject* parent = nullptr);

    // Plays the question alone, without a call-up, on the session: it returns at once, and the
    // session goes on as the question is heard.
    void PlayQuestion(const QString& question);
    // Runs in Step mode once an answer is taken, before the next character: resume is called
    // once what must be over before that character sounds is over (a screen reader speaking).
    void setAnswerPause(std::function<void(std::function<void()> resume)> pause);

  signals:
    // The question has been played to its end (before the model answer, which the program may
    // be ended during).
    void endReached();
    // The question has been played to its end, just before endReached: what completes the
    // lesson's record (the typed copy's score) runs here, before the history keeps it.
    void questionEnded(const QString& question);
    // The end of a Normal-mode question too long for the answer box: the model answer window
    // shows it instead.
    void longAnswerToShow(const QString& question);
    // The played count at the end of a Normal-mode question, once the end mark has sounded
    // (speech over the Morse would cover it; Step mode tells each answer instead).
    void playedCountHeard(int count);

  private:
    void questionOver(const QString& question);

    PracticeWindow m_form;
    LessonSession& m_session;
};
