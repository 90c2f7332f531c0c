#pragma once

#include <QObject>
#include <QString>

#include "core/kit/CopyAlignment.h"
#include "ui/lesson/PracticeWindow.h"

class Announcer;
class LessonController;
class QuestionPlayer;
class QPlainTextEdit;

// The copy a learner types while a Normal question plays: the box is emptied and focused as the
// lesson starts, and when the question has been heard to its end the copy is set against it,
// shown marked up with its score beside the model answer, spoken, added to the score list, and
// counted into the lesson's pairs of what was heard for what was sent (the history's copy
// score). Nothing typed there ever goes to the peer, and a
// lesson with nothing typed ends as it always has.
class CopyScoring : public QObject {
    Q_OBJECT
  public:
    CopyScoring(const PracticeWindow& form, QuestionPlayer& player, LessonController& lesson,
                Announcer& announcer, QObject* parent = nullptr);

  private:
    // The chosen kind of lesson takes a copy to score.
    bool takesCopy() const;
    void lessonStarting(bool callUpSounding);
    void questionEnded(const QString& question);

    PracticeWindow m_form;
    Announcer& m_announcer;
};

// The score as shown: "12文字中10文字正解（編集距離 3）".
QString CopyScoreText(const CopyAlignment& alignment);
// The comparison as a screen reader speaks it: the score, then what went wrong in words, the
// first few of it: "12文字中10文字正解。BをDと聞き取り、Kを聞き逃し、Eを余分に入力。".
// Whose copy it is: what the learner heard, or what the learner keyed from a text shown.
enum class CopyWording { Heard, Keyed };
QString CopySpokenText(const CopyAlignment& alignment, CopyWording wording = CopyWording::Heard);
// Shows the comparison in the box: the sent text over the copy, character under character, the
// faults marked.
void ShowCopyComparison(QPlainTextEdit* box, const CopyAlignment& alignment,
                        CopyWording wording = CopyWording::Heard);
