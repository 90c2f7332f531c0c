#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "ui/kit/FormContext.h"
#include "ui/kit/WindowOpening.h"

class LessonPanel;
class QuestionForm;
class QuillNetModule;
class SelfClosingInfo;
struct LinkUi;

// Opens the question editor and the notices of one main window where the exchange calls for
// them: on the messages of the peer link, and when the lesson asks.
class ExchangeWindows : public QObject {
    Q_OBJECT
  public:
    // The link's controls show the setter's state; the lesson's, what the notices ask of it.
    ExchangeWindows(const FormContext& form, const LinkUi& ui, LessonPanel& lesson,
                    QuillNetModule& module, QObject* parent = nullptr);
    ~ExchangeWindows() override;

    // The setter pressed "出題": the editor, modal, until it is closed. Closed without sending,
    // the setting is given up on both sides and "出題" is enabled again.
    void OpenQuestionForm();
    // The answerer is ready while the setter composes: modal after "次の問題", not after "準備OK".
    void ShowStayNotice(bool modal);
    // A Normal lesson was stopped: give up or try again (modal).
    void ShowAbortChoice();
    // The model answer of a question too long for the answer box (modal).
    void ShowModelAnswer(const QString& question);

    QuestionForm& questionForm() { return *m_questionForm; }

  private:
    void questionReceived();
    void composingStarted();
    void giveUpSetting(quint64 link);
    void showInfo(QPointer<SelfClosingInfo>& slot, SelfClosingInfo* notice, bool modal);

    FormContext m_form;
    const LinkUi& m_ui;
    LessonPanel& m_lesson;
    QuillNetModule& m_module;
    std::unique_ptr<QuestionForm> m_questionForm;
    OneAtATime m_receivedNotice;
    QPointer<SelfClosingInfo> m_startingNotice;
    QPointer<SelfClosingInfo> m_stayNotice;
};
