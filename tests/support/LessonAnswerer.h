#pragma once

#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include "core/kit/ClockTimer.h"
#include "core/kit/LessonState.h"
#include "support/VirtualClock.h"
#include "ui/app/MainForm.h"

// Answers every letter or digit while it is the one sounded, by clicking its button (or the
// button of the next scripted answer, "PASS" for the pass button), as a user keeping up with a
// Step-mode playback would. Looks ten times a second on the virtual clock.
class LessonAnswerer {
  public:
    LessonAnswerer(MainForm& form, VirtualClock& clock, QStringList script = {})
        : m_form(form), m_script(std::move(script)), m_tick(clock, 100) {
        QObject::connect(&m_tick, &ClockTimer::timeout, [this] { tick(); });
        m_tick.setEnabled(true);
    }
    int answers = 0;

  private:
    void tick() {
        const QString token = m_form.soundState().CurrentSoundToken;
        if (!m_form.ui().StepMode_Option->isChecked() || !m_form.lesson().currentAnswer.isEmpty() ||
            token.size() != 1 || m_form.ui().StartButton_Command->isEnabled()) {
            return;
        }
        const QString answer = m_script.isEmpty() ? token : m_script.takeFirst();
        ++answers;
        if (answer == QStringLiteral("PASS")) {
            m_form.ui().KaitoupassButton_Command->click();
        } else {
            m_form.ui().answerButton(answer.front())->click();
        }
    }
    MainForm& m_form;
    QStringList m_script;
    ClockTimer m_tick;
};
