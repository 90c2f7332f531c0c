#pragma once

#include <QPointer>
#include <QString>

#include "ui/authoring/NoticeWindow.h"
#include "ui/kit/FormContext.h"

class Clock;
class LessonPanel;
class SessionChoices;
class QLabel;
class QGroupBox;
class QPlainTextEdit;
class QuillNetModule;
struct LinkUi;

// The six notices that tell each side where a question exchange stands. Each runs its own
// timing from the moment it is first shown; a notice closed before its time is never touched
// again, and its late steps leave alone whatever has gone.

// The setter's: the question has gone out. Closes itself after 1.5 s and the editor 1 s later;
// OK closes both at once.
class SendQuestionCompleteForm : public NoticeWindow {
    Q_OBJECT
  public:
    SendQuestionCompleteForm(const FormContext& form, const LinkUi& ui, QuillNetModule& module,
                             QWidget* editor);
    QLabel* Label1;
    QPushButton* OKButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Clock& m_clock;
    QPointer<QWidget> m_editor;
    bool m_started = false;
};

// The answerer's: a question has arrived.
class LoadQuestionCompleteForm : public NoticeWindow {
    Q_OBJECT
  public:
    explicit LoadQuestionCompleteForm(const SessionChoices& choices);
    QLabel* Label1;
    QPushButton* Command1;
};

// The answerer's, after stopping a Normal lesson: give up this question or try it again.
class AbortQuestionForm : public NoticeWindow {
    Q_OBJECT
  public:
    explicit AbortQuestionForm(LessonPanel& lesson);
    QLabel* Label1;
    QPushButton* CanselButton;
    QPushButton* RestartButton;
};

// The answerer's model answer for a question too long for the answer box; it appears after 2 s.
class AnswerQuestionForm : public NoticeWindow {
    Q_OBJECT
  public:
    AnswerQuestionForm(Clock& clock, QString question);
    QGroupBox* Frame2;
    QPlainTextEdit* CorrectAnswerText;
    QPushButton* CloseButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Clock& m_clock;
    QString m_question;
    bool m_started = false;
};

// The two "お知らせ": the setter has started composing, and the setter is still composing.
// Each closes itself after 10 s.
class SelfClosingInfo : public NoticeWindow {
    Q_OBJECT
  public:
    SelfClosingInfo(Clock& clock, const QString& objectName, const QString& labelName,
                    const QString& text);
    QLabel* message() const { return m_message; }
    QPushButton* OKButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Clock& m_clock;
    QLabel* m_message;
    bool m_started = false;
};

class infoStartingMakeAQuestion : public SelfClosingInfo {
    Q_OBJECT
  public:
    explicit infoStartingMakeAQuestion(const FormContext& form);
};

class infoStayDuringMakeAQuestion : public SelfClosingInfo {
    Q_OBJECT
  public:
    explicit infoStayDuringMakeAQuestion(Clock& clock);
};
