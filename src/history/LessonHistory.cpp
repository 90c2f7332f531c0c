#include "history/LessonHistory.h"

#include <QDir>
#include <QLabel>
#include <QRadioButton>

#include "common/DesktopServices.h"
#include "common/LessonState.h"
#include "common/LinkState.h"
#include "common/MainFormUi.h"
#include "morse/SoundControls.h"

using namespace Qt::StringLiterals;

namespace {

const QString kTitle = u"成績履歴"_s;

QString SoundName(SoundGenerator generator) {
    switch (generator) {
        case SoundGenerator::Wave:
            return u"wav"_s;
        case SoundGenerator::Beep:
            return u"beep"_s;
        case SoundGenerator::None:
            break;
    }
    return u"none"_s;
}

}  // namespace

LessonHistory::LessonHistory(const FormContext& form, const SoundControls& sound, QString path,
                             QObject* parent)
    : QObject(parent),
      m_form(form),
      m_sound(sound),
      m_store(path.isEmpty() ? HistoryStore::DefaultPath() : std::move(path)) {}

LessonRecord LessonHistory::currentLesson() const {
    const MainFormUi& ui = m_form.ui;
    LessonRecord lesson;
    lesson.finishedAt = m_form.desktop.currentDateTime().toUTC();
    lesson.peer = m_form.link.peerCallsign;
    lesson.mode =
        ui.StepMode_Option->isChecked() ? LessonRecord::Mode::Step : LessonRecord::Mode::Normal;
    lesson.speed = m_sound.selectedSpeed().value_or(25);
    lesson.fineAdjust = m_sound.fineAdjustValue();
    lesson.sound = SoundName(m_sound.selectedGenerator());
    lesson.played = ui.Label4->text().toInt();
    lesson.question = m_form.link.receivedQuestion;
    if (lesson.mode == LessonRecord::Mode::Step) {
        lesson.correct = ui.Label2->text().toInt();
        for (std::size_t i = 0; i < lesson.misses.size(); ++i) {
            lesson.misses[i] = m_form.lesson.missTally[i];
        }
    }
    return lesson;
}

void LessonHistory::LessonFinished() {
    const LessonRecord lesson = currentLesson();
    if (lesson.played <= 0) {
        return;
    }
    tell(m_store.save(lesson));
}

void LessonHistory::tell(const HistoryStore::Outcome& outcome) {
    if (!outcome.keptAside.isEmpty()) {
        m_form.desktop.showMessage(
            &m_form.window, DesktopServices::Icon::Warning, kTitle,
            u"成績履歴のファイルが壊れていたため、%1 として残し、新しいファイルに記録を始めました。"_s
                .arg(QDir::toNativeSeparators(outcome.keptAside)));
    }
    if (outcome.ok) {
        m_toldFailure = false;
        return;
    }
    if (m_toldFailure) {
        return;
    }
    m_toldFailure = true;
    m_form.desktop.showMessage(
        &m_form.window, DesktopServices::Icon::Warning, kTitle,
        u"この練習を成績履歴に記録できませんでした（%1）。\n"
        u"練習はこのまま続けられます。記録できない間、このお知らせは繰り返しません。"_s.arg(
            outcome.error));
}
