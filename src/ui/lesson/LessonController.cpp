#include "ui/lesson/LessonController.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/Clock.h"
#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/kit/SharedTexts.h"
#include "core/lesson/Grading.h"
#include "core/lesson/LessonKind.h"
#include "core/lesson/LessonSession.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "core/sound/SoundOutput.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/kit/WindowOpening.h"
#include "ui/lesson/LessonUi.h"
#include "ui/lesson/QuestionPlayer.h"
#include "ui/lesson/ResultForm.h"
#include "ui/link/LinkUi.h"
#include "ui/morse/SoundUi.h"

using namespace Qt::StringLiterals;

LessonController::LessonController(const PracticeWindow& form, QuillNetModule& module,
                                   QuestionPlayer& player, LessonSession& session,
                                   SoundOutput& output, QString pictureDir, QObject* parent)
    : QObject(parent),
      m_form(form),
      m_module(module),
      m_session(session),
      m_output(output),
      m_pictureDir(std::move(pictureDir)) {
    connect(m_form.ui.StartButton_Command, &QPushButton::clicked, this,
            &LessonController::MainForm_StartButton_Command_Click);
    connect(m_form.ui.StopButton_Command, &QPushButton::clicked, this,
            &LessonController::MainForm_StopButton_Command_Click);
    // At the end itself, so that ending the program during the model answer keeps the lesson.
    connect(&player, &QuestionPlayer::endReached, this, &LessonController::lessonFinished);
    connect(&session, &LessonSession::callUpSounding, this, [this](bool sounding) {
        if (sounding) {
            SetColour(m_form.ui.Label1, kBlack);
        }
        emit callUpSounding(sounding);
    });
    connect(&session, &LessonSession::callUpSymbolHeard, this,
            [this](const QString& name) { m_form.ui.Label1->setText(name); });
    connect(&session, &LessonSession::ended, this, &LessonController::lessonRunEnded);
}

void LessonController::MainForm_StartButton_Command_Click() {
    switch (m_form.lesson.mainButton) {
        case MainButton::Ready:
            readyPressed();
            break;
        case MainButton::Next:
            nextQuestionPressed();
            break;
        case MainButton::Set:
            setPressed();
            break;
        case MainButton::Start:
        case MainButton::Retry:
            startPressed();
            break;
        case MainButton::Waiting:
        case MainButton::Preparing:
            break;
    }
}

void LessonController::awaitQuestion(bool modalNotice) {
    const LessonUi& ui = m_form.ui;
    const LinkUi& linkUi = m_form.linkUi;
    LinkState& s = m_form.link;
    if (s.teacherStatus == LinkStatus::Composing) {
        s.studentStatus = LinkStatus::Ready;
        emit stayNoticeWanted(modalNotice);
        ShowMainButton(ui, m_form.lesson, MainButton::Preparing);
    } else if (s.teacherStatus != LinkStatus::QuestionSent) {
        s.studentStatus = LinkStatus::Ready;
        ShowMainButton(ui, m_form.lesson, MainButton::Waiting);
    } else {
        return;
    }
    SetEnabled({ui.StartButton_Command, linkUi.TeacherOption, linkUi.StudentOption}, false);
}

void LessonController::readyPressed() {
    const LessonUi& ui = m_form.ui;
    // Told to the setter only once it is true: an answerer still in chat mode is not ready.
    if (m_form.choices.chatMode()) {
        m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Critical, u"準備エラー"_s,
                                   u"ステップ受信モード又はノーマル受信モードを選択して下さい。"_s);
        return;
    }
    m_module.SendNetMessage(MessageType::AnswererStatus, AnswererCode::kReady);
    awaitQuestion(false);
    if (m_form.link.teacherStatus == LinkStatus::QuestionSent &&
        m_form.lesson.mainButton == MainButton::Waiting) {
        SetEnabled({ui.StepMode_Option, ui.NormalMode_Option}, false);
    }
}

void LessonController::nextQuestionPressed() {
    m_module.SendNetMessage(MessageType::AnswererStatus, AnswererCode::kReady);
    m_form.ui.AnswerText->clear();
    awaitQuestion(true);
}

void LessonController::setPressed() {
    const LessonUi& ui = m_form.ui;
    const LinkUi& linkUi = m_form.linkUi;
    m_form.link.teacherStatus = LinkStatus::Composing;
    SetEnabled({ui.StartButton_Command, linkUi.TeacherOption, linkUi.StudentOption,
                ui.StepMode_Option, ui.NormalMode_Option},
               false);
    m_module.SendNetMessage(MessageType::SetterStatus, SetterCode::kComposing);
    linkUi.TeacherLabel->setText(RoleCaption::SetterSelfStatus(m_form.link));
    emit questionEditorWanted();
}

void LessonController::startPressed() {
    const LessonUi& ui = m_form.ui;
    const LinkUi& linkUi = m_form.linkUi;
    const SoundUi& soundUi = m_form.soundUi;
    const LessonKind& kind = LessonKindFor(m_form.choices.mode());
    const bool lesson = kind.mode() != PracticeMode::None;
    if (m_form.choices.answerer() && !lesson) {
        m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Critical, u"エラー"_s,
                                   u"練習モードを選択して下さい。"_s);
        return;
    }
    m_form.lesson.kindName = kind.historyName().toString();
    soundUi.ToneText->setReadOnly(true);
    soundUi.toneTestButton->setEnabled(false);
    m_module.SendNetMessage(MessageType::AnswererStatus, AnswererCode::kTestRunning);
    ui.AnswerText->clear();
    ui.StartButton_Command->setEnabled(false);
    m_form.link.teacherStatus = LinkStatus::Empty;
    ShowStopButton(ui, m_form.lesson, StopButton::Stop);
    ui.StopButton_Command->setEnabled(true);
    if (lesson) {
        // The other kinds' options, and chat, wait for the lesson to end.
        linkUi.ChatMode_Option->setEnabled(false);
        for (const auto& [option, mode] : {std::pair{ui.StepMode_Option, PracticeMode::Step},
                                           std::pair{ui.NormalMode_Option, PracticeMode::Normal}}) {
            if (mode != kind.mode()) {
                option->setEnabled(false);
            }
        }
    }
    // A stop pressed during the call-up ends the lesson there: it has told the setter the test
    // was aborted, so the question must not play and report it finished after all.
    m_form.lesson.stopPlayback = false;
    m_form.lesson.playedCount = 0;
    if (lesson) {
        // Goes on as it is heard; its end shows the result and gives the buttons back.
        m_session.start(m_form.link.receivedQuestion);
        return;
    }
    m_output.restartBand();
    if (m_form.choices.chatMode()) {
        ui.Label1->clear();
        m_form.lesson.playedCount = 0;
        m_form.lesson.correctCount = 0;
    }
    lessonRunEnded(false);
}

void LessonController::lessonRunEnded(bool showScore) {
    const LessonUi& ui = m_form.ui;
    const LinkUi& linkUi = m_form.linkUi;
    const SoundUi& soundUi = m_form.soundUi;
    if (showScore) {
        const LessonState& lesson = m_form.lesson;
        ui.ScoreList->addItem(
            ScoreLine(CountText(lesson.shownPlayed), CountText(lesson.shownCorrect)));
        showResult();
        if (m_form.clock.quitting()) {
            return;
        }
    }
    ui.StartButton_Command->setEnabled(true);
    ShowStopButton(ui, m_form.lesson, StopButton::ModeSwitch);
    SetEnabled({linkUi.ChatMode_Option, soundUi.toneTestButton}, true);
    soundUi.ToneText->setReadOnly(false);
}

void LessonController::showResult() {
    LessonState& lesson = m_form.lesson;
    ResultForm result(CountText(lesson.shownPlayed), CountText(lesson.shownCorrect),
                      lesson.missTally, m_pictureDir, &m_form.window);
    ShowModal(m_form.clock, &result, &m_form.window, {3300, 750});
}

void LessonController::MainForm_StopButton_Command_Click() {
    const LessonUi& ui = m_form.ui;
    const LinkUi& linkUi = m_form.linkUi;
    LessonState& lesson = m_form.lesson;
    const StopButton state = lesson.stopButton;
    const LessonKind& kind = LessonKindFor(m_form.choices.mode());
    if (state != StopButton::ModeSwitch && m_form.choices.answerer()) {
        lesson.stopPlayback = true;
        // Silent at once: what was planned ahead goes.
        m_output.cut();
        m_form.link.studentStatus = LinkStatus::Empty;
        linkUi.TeacherLabel->setText(RoleCaption::SetterPeerIdle(m_form.link));
        m_module.SendNetMessage(MessageType::AnswererStatus, AnswererCode::kTestAborted);
        if (kind.asksAfterStop()) {
            emit abortChoiceWanted();
        }
    }
    if (kind.judgesEachCharacter() && lesson.currentAnswer.isEmpty() && lesson.playedCount > 0) {
        // The character being waited for is not counted (none is, before the first).
        ShowPlayedCount(ui, lesson, lesson.playedCount - 1);
    }
    SetEnabled({linkUi.ChatMode_Option, ui.StepMode_Option, ui.NormalMode_Option,
                linkUi.TeacherOption, linkUi.StudentOption},
               true);
    if (state == StopButton::ModeSwitch) {
        ShowMainButton(ui, lesson, MainButton::Ready);
        ui.StopButton_Command->setEnabled(false);
    } else if (state == StopButton::Stop && !m_form.lesson.mainButtonEnabled &&
               m_form.choices.setter()) {
        m_module.SendNetMessage(MessageType::SetterStatus, SetterCode::kAborted);
    }
    ui.StartButton_Command->setEnabled(true);
}
