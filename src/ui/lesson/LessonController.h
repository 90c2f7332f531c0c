#pragma once

#include <QObject>
#include <QString>

#include "ui/lesson/PracticeWindow.h"

class LessonSession;
class QuestionPlayer;
class QuillNetModule;
class SoundOutput;

// The main button and the stop button, which carry a lesson through its states on both sides.
// The main button's caption is the state; each press does what the caption calls for.
class LessonController : public QObject {
    Q_OBJECT
  public:
    LessonController(const PracticeWindow& form, QuillNetModule& module, QuestionPlayer& player,
                     LessonSession& session, SoundOutput& output, QString pictureDir,
                     QObject* parent = nullptr);

    void MainForm_StartButton_Command_Click();
    void MainForm_StopButton_Command_Click();

  signals:
    // The windows of the exchange that this side opens: the question editor (the setter presses
    // "出題"), the notice that the setter is still composing, and the choice after a stopped
    // Normal lesson. A connected handler runs before the press goes on; modal ones wait there.
    void questionEditorWanted();
    void stayNoticeWanted(bool modal);
    void abortChoiceWanted();
    // A Step or Normal question played to its end, its counts still shown and its misses not
    // yet cleared (before the result window or the model answer). Nothing is sounding.
    void lessonFinished();
    // The call-up H R H R BT begins to sound (true) and has been heard (false).
    void callUpSounding(bool sounding);

  private:
    void readyPressed();
    void nextQuestionPressed();
    void setPressed();
    void startPressed();
    // After the ready or next-question press: waiting for the setter, one way or the other.
    void awaitQuestion(bool modalNotice);
    // The lesson's run is over (showScore: with a Step score to show): the buttons back.
    void lessonRunEnded(bool showScore);
    void showResult();

    PracticeWindow m_form;
    QuillNetModule& m_module;
    LessonSession& m_session;
    SoundOutput& m_output;
    QString m_pictureDir;
};
