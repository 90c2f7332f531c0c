#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "core/history/HistoryStore.h"
#include "core/morse/BandConditions.h"
#include "ui/kit/FormContext.h"

class QThread;
class SoundControls;

// Keeps every lesson played to its end in the history, as the window shows it when it ends. A
// history that cannot be written never stops a lesson: the user is told once (not again until a
// write has succeeded), and the lessons are kept until a later write takes them, at the next
// lesson or at the end of the program; only what even that cannot write is lost, and said so.
// The whole file is checked once as the program starts, beside it; a damaged file is moved
// aside and the user told.
class LessonHistory : public QObject {
    Q_OBJECT
  public:
    LessonHistory(const FormContext& form, const SoundControls& sound, QString path,
                  QObject* parent = nullptr);
    ~LessonHistory() override;

    // A lesson's call-up begins to sound (true): its speed, sound and band conditions are kept
    // as it is played from here, whatever the peer asks for before it ends.
    void LessonStarting(bool callUpSounding);
    // The lesson the window has just finished.
    void LessonFinished();

    // What the window shows now, as the history keeps it, with the settings the lesson began
    // with (those in force now when none began).
    LessonRecord currentLesson() const;

    HistoryStore& store() { return m_store; }
    // Where the band conditions the lessons are heard under are read from, as each one ends.
    void setBandConditions(std::function<BandConditions()> source) {
        m_bandConditions = std::move(source);
    }
    // Lessons played to their end and not written yet.
    const QList<LessonRecord>& unsaved() const { return m_unsaved; }

    // Waits for the check begun at start-up, if it is still going, and acts on what it found.
    void finishCheck();

  private:
    struct Check;
    // A lesson with what it is played with now: its speed, fine adjustment, sound and band
    // conditions.
    LessonRecord settingsNow() const;

    void startCheck();
    void writeUnsaved();
    void programEnding();
    void tellSetAside(const QString& aside);

    FormContext m_form;
    const SoundControls& m_sound;
    std::function<BandConditions()> m_bandConditions;
    HistoryStore m_store;
    QList<LessonRecord> m_unsaved;
    std::optional<LessonRecord> m_started;  // the running lesson's settings, from its call-up on
    bool m_toldFailure = false;
    QThread* m_checkThread = nullptr;
    std::shared_ptr<Check> m_check;
};
