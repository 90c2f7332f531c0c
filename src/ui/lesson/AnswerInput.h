#pragma once

#include <QObject>
#include <QString>

#include "ui/lesson/PracticeWindow.h"

class CwChat;
struct MorseSoundState;

// Answers in Step receive mode: the 36 answer buttons, the pass button and the keyboard. Each
// answer releases the waiting playback and is judged at once; misses are tallied for the result
// window. In chat mode the buttons key CW chat instead.
class AnswerInput : public QObject {
    Q_OBJECT
  public:
    AnswerInput(const PracticeWindow& form, MorseSoundState& sound, CwChat& cwChat,
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
    MorseSoundState& m_sound;
    CwChat& m_cwChat;
};

// The answer a typed key gives: the capital letter, the digit, or "PASS" for Escape; empty for
// any other key.
QString AnswerForKey(int key, const QString& text);
