#pragma once

#include <QObject>
#include <QString>

#include "common/FormContext.h"

class CharacterDispatch;
class QuillNetModule;
struct MorseSoundState;

// Plays a received question as Morse, character by character, ending with AR: the played count
// in Label4, the Step-mode wait for each answer, and what the end of a question does.
class QuestionPlayer : public QObject {
    Q_OBJECT
  public:
    // Up to this many characters (with the end mark) the answer appears in the main window.
    static constexpr int kLongestShownInAnswerBox = 63;

    QuestionPlayer(const FormContext& form, QuillNetModule& module, CharacterDispatch& dispatch,
                   MorseSoundState& sound, QObject* parent = nullptr);

    // Returns when the question has been played to its end or a stop was noticed. The caller
    // clears stopPlayback and sets the counters first.
    void PlayQuestion(const QString& question);
    // Whether the last PlayQuestion played the question to its end (no stop, no refusal).
    bool reachedEnd() const { return m_reachedEnd; }

  signals:
    // The question has been played to its end (before the model answer, which the program may
    // be ended during). A connected handler runs before the model answer shows.
    void endReached();
    // The end of a Normal-mode question too long for the answer box: the model answer window
    // shows it instead. A connected handler runs before PlayQuestion returns.
    void longAnswerToShow(const QString& question);
    // The played count, once the character it counts has sounded: in Step mode after every
    // character that waits for an answer, in Normal mode once at the end (speech over the Morse
    // would cover it).
    void playedCountHeard(int count);

  private:
    bool refused(const QString& question);
    void showPlayedCount(qint16 count);
    void endOfQuestion(const QString& question, int playedLength);

    FormContext m_form;
    QuillNetModule& m_module;
    CharacterDispatch& m_dispatch;
    MorseSoundState& m_sound;
    bool m_reachedEnd = false;
};
