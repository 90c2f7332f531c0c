#include "ui/history/LessonHistory.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QThread>

#include "core/kit/Clock.h"
#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/morse/SoundControls.h"
#include "ui/kit/DesktopServices.h"

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

// The fine adjustment's value lengthens the Morse units: its opposite is the change of speed
// that the main window's label shows, and that the history keeps.
int SpeedChangePercent(int fineAdjustValue) {
    return -fineAdjustValue;
}

}  // namespace

// What the check found, and the file it looked at (size and time), so that a file another
// trainer has written since is not moved on old news.
struct LessonHistory::Check {
    HistoryStore::Outcome outcome;
    qint64 size = 0;
    QDateTime modified;
};

LessonHistory::LessonHistory(const FormContext& form, const SoundControls& sound, QString path,
                             QObject* parent)
    : QObject(parent),
      m_form(form),
      m_sound(sound),
      m_store(path.isEmpty() ? HistoryStore::DefaultPath() : std::move(path)) {
    connect(&m_form.clock, &Clock::quitRequested, this, &LessonHistory::programEnding);
    startCheck();
}

LessonHistory::~LessonHistory() {
    if (m_checkThread != nullptr) {
        m_checkThread->wait();
        delete m_checkThread;
    }
}

void LessonHistory::startCheck() {
    m_check = std::make_shared<Check>();
    // Reading a long history takes a while: beside the program, never in its way.
    m_checkThread = QThread::create([store = m_store, check = m_check] {
        const QFileInfo file(store.path());
        check->size = file.size();
        check->modified = file.lastModified();
        check->outcome = store.checkIntegrity();
    });
    connect(m_checkThread, &QThread::finished, this, &LessonHistory::finishCheck);
    m_checkThread->start(QThread::LowPriority);
}

void LessonHistory::finishCheck() {
    if (m_checkThread == nullptr) {
        return;
    }
    m_checkThread->wait();
    delete m_checkThread;
    m_checkThread = nullptr;
    if (m_check->outcome.ok || m_check->outcome.fault != HistoryFault::Corrupt) {
        return;
    }
    const QFileInfo file(m_store.path());
    if (file.size() != m_check->size || file.lastModified() != m_check->modified) {
        return;  // changed since: the next start checks it again
    }
    const QString aside = m_store.setAside();
    if (aside.isEmpty()) {
        m_form.desktop.showMessage(
            &m_form.window, DesktopServices::Icon::Warning, kTitle,
            u"成績履歴のファイル %1 が壊れていますが、別の名前で残すことができませんでした。"_s.arg(
                QDir::toNativeSeparators(m_store.path())));
        return;
    }
    tellSetAside(aside);
}

LessonRecord LessonHistory::settingsNow() const {
    LessonRecord lesson;
    lesson.freeSpeed = m_sound.freeSpeed();
    lesson.speed = lesson.freeSpeed ? NearestFixedSpeed(*lesson.freeSpeed)
                                    : m_sound.selectedSpeed().value_or(25);
    lesson.fineAdjust = SpeedChangePercent(m_sound.fineAdjustValue());
    lesson.sound = SoundName(m_sound.selectedGenerator());
    if (m_bandConditions) {
        if (const BandConditions band = m_bandConditions(); band.anyOn()) {
            lesson.band = band.summary();
            lesson.bandSeed = band.seed;
        }
    }
    return lesson;
}

void LessonHistory::LessonStarting(bool callUpSounding) {
    if (callUpSounding) {
        m_started = settingsNow();
    }
}

LessonRecord LessonHistory::currentLesson() const {
    LessonRecord lesson = m_started.value_or(settingsNow());
    lesson.finishedAt = m_form.desktop.currentDateTime().toUTC();
    lesson.peer = m_form.link.peerCallsign;
    lesson.mode = ModeNamed(m_form.lesson.kindName);
    lesson.played = m_form.lesson.shownPlayed.value_or(0);
    lesson.question = m_form.link.receivedQuestion;
    lesson.confusions = m_form.lesson.confusions;
    if (lesson.mode == LessonRecord::Mode::Step) {
        lesson.correct = m_form.lesson.shownCorrect.value_or(0);
        for (std::size_t i = 0; i < lesson.misses.size(); ++i) {
            lesson.misses[i] = m_form.lesson.missTally[i];
        }
    }
    return lesson;
}

void LessonHistory::LessonFinished() {
    const LessonRecord lesson = currentLesson();
    m_started.reset();
    if (lesson.played <= 0) {
        return;
    }
    finishCheck();
    m_unsaved.append(lesson);
    writeUnsaved();
    if (m_form.clock.quitting()) {
        programEnding();  // too late for the end's own attempt
    }
}

void LessonHistory::writeUnsaved() {
    const HistoryStore::Outcome outcome = m_store.save(m_unsaved);
    if (!outcome.keptAside.isEmpty()) {
        tellSetAside(outcome.keptAside);
    }
    if (outcome.ok) {
        m_unsaved.clear();
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
        u"記録できるようになりしだい、まとめて記録します。練習はこのまま続けられます。"
        u"記録できない間、このお知らせは繰り返しません。"_s.arg(outcome.error));
}

void LessonHistory::programEnding() {
    if (m_unsaved.isEmpty()) {
        return;
    }
    const HistoryStore::Outcome outcome = m_store.save(m_unsaved);
    const auto lost = m_unsaved.size();
    m_unsaved.clear();
    if (outcome.ok) {
        return;
    }
    m_form.desktop.showMessage(
        &m_form.window, DesktopServices::Icon::Warning, kTitle,
        u"成績履歴に記録できなかった練習 %1 回分は、プログラムを終えるため記録されずに"
        u"失われます（%2）。"_s.arg(lost)
            .arg(outcome.error));
}

void LessonHistory::tellSetAside(const QString& aside) {
    m_form.desktop.showMessage(
        &m_form.window, DesktopServices::Icon::Warning, kTitle,
        u"成績履歴のファイルが壊れていたため、%1 として残し、新しいファイルに記録を始めました。"_s
            .arg(QDir::toNativeSeparators(aside)));
}
