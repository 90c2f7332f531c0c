#include "ui/authoring/Notices.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/kit/Clock.h"
#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/WindowOpening.h"
#include "ui/link/LessonPanel.h"
#include "ui/link/LinkUi.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kSentNoticeMs = 1500;
constexpr int kEditorAfterNoticeMs = 1000;
constexpr int kModelAnswerDelayMs = 2000;
constexpr int kInfoMs = 10000;

const QString kReceived = u"出題者から問題を受信しました。"_s;

}  // namespace

SendQuestionCompleteForm::SendQuestionCompleteForm(const FormContext& form, const LinkUi& ui,
                                                   QuillNetModule& module, QWidget* editor)
    : NoticeWindow(u"SendQuestionCompleteForm"_s, u"問題の送信完了"_s, Kind::Sizable),
      Label1(addMessage(u"Label1"_s, u"作成した問題を解答者に送信しました。"_s)),
      OKButton(addButton(u"OKButton"_s, u"OK"_s)),
      m_clock(form.clock),
      m_editor(editor) {
    module.SendNetMessage(MessageType::SetterStatus, SetterCode::kQuestionSent);
    form.link.teacherStatus = LinkStatus::QuestionSent;
    ui.TeacherLabel->setText(RoleCaption::SetterSelfStatus(form.link));
    connect(OKButton, &QPushButton::clicked, this, [this] {
        close();
        CloseIfOpen(m_editor);
    });
}

void SendQuestionCompleteForm::showEvent(QShowEvent* event) {
    NoticeWindow::showEvent(event);
    if (m_started) {
        return;
    }
    m_started = true;
    ScheduleClose(m_clock, this, kSentNoticeMs);
    // The editor goes a second after the notice, however the notice was closed.
    const QPointer<QWidget> editor = m_editor;
    m_clock.scheduleAt(m_clock.now() + kSentNoticeMs + kEditorAfterNoticeMs,
                       [editor] { CloseIfOpen(editor); });
}

LoadQuestionCompleteForm::LoadQuestionCompleteForm(const SessionChoices& choices)
    : NoticeWindow(u"LoadQuestionCompleteForm"_s, u"問題の受信完了"_s, Kind::Sizable),
      Label1(addMessage(
          u"Label1"_s,
          kReceived + u'\n' +
              (choices.receiveModeChosen()
                   ? u"解答準備が出来たら、スタートボタンを押して下さい。"_s
                   : u"練習モードを選択して解答準備が出来たら、スタートボタンを押して下さい。"_s))),
      Command1(addButton(u"Command1"_s, u"OK"_s)) {
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
}

AbortQuestionForm::AbortQuestionForm(LessonPanel& lesson)
    : NoticeWindow(u"AbortQuestionForm"_s, u"受験中断"_s, Kind::SizableWithMinMax),
      Label1(addMessage(u"Label1"_s, u"受験を中断しました。処理を選択して下さい。"_s)),
      CanselButton(addButton(u"CanselButton"_s, u"中止"_s)),
      RestartButton(addButton(u"RestartButton"_s, u"再挑戦"_s)) {
    GiveAccessKey(CanselButton, 'C');
    GiveAccessKey(RestartButton, 'R');
    connect(CanselButton, &QPushButton::clicked, this, [this, &lesson] {
        lesson.showMainButton(MainButton::Next);
        close();
    });
    connect(RestartButton, &QPushButton::clicked, this, [this, &lesson] {
        lesson.showMainButton(MainButton::Retry);
        close();
    });
}

AnswerQuestionForm::AnswerQuestionForm(Clock& clock, QString question)
    : NoticeWindow(u"AnswerQuestionForm"_s, u"模範解答"_s, Kind::SizableWithMinMax),
      Frame2(new QGroupBox(u"正解"_s, this)),
      CorrectAnswerText(new QPlainTextEdit(Frame2)),
      CloseButton(addButton(u"CloseButton"_s, u"閉じる"_s)),
      m_clock(clock),
      m_question(std::move(question)) {
    Frame2->setObjectName(u"Frame2"_s);
    CorrectAnswerText->setObjectName(u"CorrectAnswerText"_s);
    CorrectAnswerText->setAccessibleName(u"正解"_s);
    CorrectAnswerText->setReadOnly(true);
    CorrectAnswerText->setMinimumSize(CorrectAnswerText->fontMetrics().averageCharWidth() * 60,
                                      CorrectAnswerText->fontMetrics().height() * 8);
    (new QVBoxLayout(Frame2))->addWidget(CorrectAnswerText);
    body()->addWidget(Frame2);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

void AnswerQuestionForm::showEvent(QShowEvent* event) {
    NoticeWindow::showEvent(event);
    if (m_started) {
        return;
    }
    m_started = true;
    // Closed before the answer appears, the window stays closed and is not filled.
    WhileOpenAfter(m_clock, this, kModelAnswerDelayMs,
                   [this] { CorrectAnswerText->setPlainText(m_question); });
}

SelfClosingInfo::SelfClosingInfo(Clock& clock, const QString& objectName, const QString& labelName,
                                 const QString& text)
    : NoticeWindow(objectName, u"お知らせ"_s, Kind::FixedDialog),
      m_clock(clock),
      m_message(addMessage(labelName, text)) {
    OKButton = addButton(u"OKButton"_s, u"OK"_s);
    connect(OKButton, &QPushButton::clicked, this, &QWidget::close);
}

void SelfClosingInfo::showEvent(QShowEvent* event) {
    NoticeWindow::showEvent(event);
    if (!m_started) {
        m_started = true;
        ScheduleClose(m_clock, this, kInfoMs);
    }
}

namespace {

QString StartingText(const FormContext& form) {
    if (form.link.studentStatus != LinkStatus::Ready && form.choices.receiveModeChosen() &&
        form.lesson.mainButton == MainButton::Next) {
        return u"出題者が、次の問題作成を開始しました。準備が出来たら、「次の問題」ボタンを"
               u"クリックして下さい。"_s;
    }
    return u"出題者が、問題作成を開始しました。練習モードと速度を選択して「準備OK」ボタンを"
           u"押して下さい。"_s;
}

}  // namespace

infoStartingMakeAQuestion::infoStartingMakeAQuestion(const FormContext& form)
    : SelfClosingInfo(form.clock, u"infoStartingMakeAQuestion"_s, u"msgLabel"_s,
                      StartingText(form)) {}

infoStayDuringMakeAQuestion::infoStayDuringMakeAQuestion(Clock& clock)
    : SelfClosingInfo(
          clock, u"infoStayDuringMakeAQuestion"_s, u"Label1"_s,
          u"只今出題者が出題準備中です。ボタンが「スタート」に変わるまで待機下さい。"_s) {}
