#include "ui/lesson/LessonPanelView.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/kit/LessonState.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/EnabledWatch.h"
#include "ui/lesson/LessonUi.h"

LessonPanelView::LessonPanelView(const LessonUi& ui, LessonState& lesson)
    : m_ui(ui), m_lesson(lesson) {
    WatchEnabled(ui.StartButton_Command,
                 [&lesson](bool enabled) { lesson.mainButtonEnabled = enabled; });
}

void LessonPanelView::showMainButton(MainButton state) {
    ShowMainButton(m_ui, m_lesson, state);
}

void LessonPanelView::setMainButtonEnabled(bool enabled) {
    m_ui.StartButton_Command->setEnabled(enabled);
}

void LessonPanelView::setPassEnabled(bool enabled) {
    m_ui.KaitoupassButton_Command->setEnabled(enabled);
}

void LessonPanelView::setAnswerButtonsEnabled(bool enabled) {
    for (QPushButton* button : m_ui.answerButtons) {
        button->setEnabled(enabled);
    }
}

void LessonPanelView::setReceiveModesEnabled(bool enabled) {
    SetEnabled({m_ui.StepMode_Option, m_ui.NormalMode_Option}, enabled);
}

void LessonPanelView::clearModelAnswer() {
    m_ui.AnswerText->clear();
}

void LessonPanelView::applyRole(bool setter) {
    setReceiveModesEnabled(!setter);
    showMainButton(setter ? MainButton::Set : MainButton::Ready);
    SetEnabled({m_ui.StartButton_Command, m_ui.StopButton_Command}, true);
    Deselect(m_ui.StepMode_Option);
    Deselect(m_ui.NormalMode_Option);
}

void LessonPanelView::enterChat() {
    m_ui.Label1->clear();
    SetColour(m_ui.Label1, kBlack);
    SetEnabled({m_ui.Label2, m_ui.Label4, m_ui.StartButton_Command, m_ui.StopButton_Command,
                m_ui.KaitoupassButton_Command},
               false);
}

void LessonPanelView::applyIdle() {
    SetEnabled({m_ui.StepMode_Option, m_ui.NormalMode_Option, m_ui.StartButton_Command,
                m_ui.StopButton_Command, m_ui.KaitoupassButton_Command},
               false);
}
