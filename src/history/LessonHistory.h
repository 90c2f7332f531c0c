#pragma once

#include <QObject>
#include <QString>

#include "common/FormContext.h"
#include "history/HistoryStore.h"

class SoundControls;

// Keeps every finished lesson in the history: what the window shows when a lesson ends, written
// once the sound has ended. A history that cannot be written never stops a lesson; the user is
// told once, and not again until a write has succeeded.
class LessonHistory : public QObject {
    Q_OBJECT
  public:
    LessonHistory(const FormContext& form, const SoundControls& sound, QString path,
                  QObject* parent = nullptr);

    // The lesson the window has just finished.
    void LessonFinished();

    // What the window shows now, as the history keeps it.
    LessonRecord currentLesson() const;

    HistoryStore& store() { return m_store; }

  private:
    void tell(const HistoryStore::Outcome& outcome);

    FormContext m_form;
    const SoundControls& m_sound;
    HistoryStore m_store;
    bool m_toldFailure = false;
};
