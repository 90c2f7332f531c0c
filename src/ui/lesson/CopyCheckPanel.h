#pragma once

#include <QWidget>

#include "core/lesson/SoundDecodingSession.h"

class Announcer;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The learner's own copy of a signal, set against the session's when 照合 is pressed: shown
// marked up with its score, as a lesson's copy is, and spoken.
class CopyCheckPanel : public QWidget {
    Q_OBJECT
  public:
    CopyCheckPanel(SoundDecodingSession& session, Announcer& announcer, QWidget* parent = nullptr);

    // The choice of signal follows the signals the session follows.
    void showSignals(const QList<SoundDecodingSession::Signal>& signalList);
    void check();

    QPlainTextEdit* copy() const { return m_copy; }
    QComboBox* signalChoice() const { return m_signal; }
    QPushButton* checkButton() const { return m_check; }
    QPlainTextEdit* comparison() const { return m_comparison; }
    QLabel* score() const { return m_score; }

  private:
    SoundDecodingSession& m_session;
    Announcer& m_announcer;
    QPlainTextEdit* m_copy;
    QComboBox* m_signal;
    QPushButton* m_check;
    QPlainTextEdit* m_comparison;
    QLabel* m_score;
};

// The score as the window shows it: the copy's score, then the share of the characters right.
QString CopyCheckScoreText(const CopyAlignment& alignment);
