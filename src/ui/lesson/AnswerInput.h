#pragma once

#include <QObject>
#include <QString>

#include "ui/lesson/PracticeWindow.h"

class ChatSession;
class LessonSession;

// Answers in Step receive mode: the 36 answer buttons, the pass button and the keyboard. Each
// answer goes to the lesson session, which judges it and releases the waiting playback; the
// display shows the judgement. In chat mode the buttons key CW chat instead.
class AnswerInput : public QObject {
    Q_OBJECT
  public:
    AnswerInput(const PracticeWindow& form, LessonSession& session, ChatSession& cwChat,
                QObject* parent = nullptr);

    // The answer button of a letter or digit.
    void AnswerButtonClicked(QChar character);
    void MainForm_KaitoupassButton_Command_Click();
    // A key that types a character (or Escape) while the window is active. True when a Step
    // playback takes it, so that it goes no further; only a letter, a digit or Escape answers.
    bool MainForm_Form_KeyPress(int key, const QString& text);

    void CheckAnswer();

  protected:
    // Sees the keys of this window before its controls do (and only this window's).
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The chosen kind of lesson judges each character as it is answered.
    bool judgesEachCharacter() const;
    PracticeWindow m_form;
    LessonSession& m_session;
    ChatSession& m_cwChat;
};

// The answer a typed key gives: the capital letter, the digit, or "PASS" for Escape; empty for
// any other key.
QString AnswerForKey(int key, const QString& text);
