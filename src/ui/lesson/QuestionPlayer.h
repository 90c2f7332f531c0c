#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "ui/lesson/PracticeWindow.h"

class CharacterDispatch;
class PlannedPlayback;
class QuillNetModule;
class SoundControls;
class SoundOutput;

// Plays a received question as Morse, character by character, ending with AR: the played count
// in Label4, the Step-mode wait for each answer, and what the end of a question does.
class QuestionPlayer : public QObject {
    Q_OBJECT
  public:
    // Up to this many characters (with the end mark) the answer appears in the main window.
    static constexpr int kLongestShownInAnswerBox = 63;

    QuestionPlayer(const PracticeWindow& form, QuillNetModule& module, CharacterDispatch& dispatch,
                   SoundOutput& output, const SoundControls& controls, QObject* parent = nullptr);

    // Returns when the question has been heard to its end or a stop was noticed. The caller
    // clears stopPlayback and sets the counters first. The characters are planned ahead on the
    // given playback (the one that sounded the call-up, so the two join without a seam) or on
    // one of its own; the count and the labels change as each character is heard.
    void PlayQuestion(const QString& question);
    void PlayQuestion(const QString& question, PlannedPlayback& playback);
    // Runs in Step mode once an answer is taken, before the next character: what must be over
    // before that character sounds (a screen reader saying the judgement).
    void setAnswerPause(std::function<void()> pause) { m_answerPause = std::move(pause); }
    // Whether the last PlayQuestion played the question to its end (no stop, no refusal).
    bool reachedEnd() const { return m_reachedEnd; }
    // Whether any character of the last question was heard (a stop during the call-up plays
    // none).
    bool heardAny() const { return m_heardAny; }

  signals:
    // The question has been played to its end (before the model answer, which the program may
    // be ended during). A connected handler runs before the model answer shows.
    void endReached();
    // The question has been played to its end, just before endReached: what completes the
    // lesson's record (the typed copy's score) runs here, before the history keeps it.
    void questionEnded(const QString& question);
    // The end of a Normal-mode question too long for the answer box: the model answer window
    // shows it instead. A connected handler runs before PlayQuestion returns.
    void longAnswerToShow(const QString& question);
    // The played count at the end of a Normal-mode question, once the end mark has sounded
    // (speech over the Morse would cover it; Step mode tells each answer instead).
    void playedCountHeard(int count);

  private:
    bool refused(const QString& question);
    void showPlayedCount(qint16 count);
    // Plans one character; it shows the count when it is heard.
    void planCharacter(PlannedPlayback& playback, QChar character, qint16 shown, qint16 counted);
    void stoppedAt();
    void endOfQuestion(const QString& question, int playedLength);

    PracticeWindow m_form;
    QuillNetModule& m_module;
    CharacterDispatch& m_dispatch;
    SoundOutput& m_output;
    const SoundControls& m_controls;
    std::function<void()> m_answerPause;
    bool m_reachedEnd = false;
    // The played count after the last character that has been heard: where a stop leaves it.
    qint16 m_heardCount = 0;
    bool m_heardAny = false;
    bool m_awaitingHeard = false;  // the character planned last has not begun to sound
};
