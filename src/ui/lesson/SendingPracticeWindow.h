#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "core/lesson/SendingSession.h"
#include "core/lesson/SendingTexts.h"
#include "core/morse/TextPlayback.h"

class Announcer;
class CharacterDispatch;
class Clock;
class DesktopServices;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Sending practice: the learner keys in the keying area placed here from outside, whose decoded
// text comes in through takeDecoded. Free keying shows it as keyed; copy sending shows a text to
// key and scores what was keyed against it when the learner ends; echo plays a group in the
// trainer's tone and speed, judges the group keyed back, and plays the next one or the same
// again. Every result is shown and spoken.
class SendingPracticeWindow : public QDialog {
    Q_OBJECT
  public:
    // The window takes the keying area as its child (none: an empty place).
    SendingPracticeWindow(Clock& clock, CharacterDispatch& dispatch, DesktopServices& desktop,
                          QWidget* keyingArea, QWidget* parent = nullptr);
    ~SendingPracticeWindow() override;

    // Asked at every start for the characters the Koch course has taught so far (its groups').
    using KochSource = std::function<QString()>;
    void setKochSource(KochSource source) { m_kochSource = std::move(source); }
    // The seed of the next practice's texts; unset, each practice draws its own.
    void setSeed(quint32 seed) { m_seed = seed; }
    // Reads the learner's file as the source of words; false, with a message, when unusable.
    bool loadFile(const QString& path);

    bool running() const { return m_running; }
    Announcer& announcer() { return *m_announcer; }

  public slots:
    // A decoded character, or " " for a word gap.
    void takeDecoded(const QString& text);
    void start();
    void finish();
    // Esc ends the practice and closes the window, as closing it does.
    void reject() override;

  signals:
    // A practice begins: the keying area starts afresh.
    void practiceStarted();
    // The learner ends the practice: what the keying area still holds back must come in now.
    void finishing();
    // The practice ended: what the history keeps of it.
    void practiceEnded(const SendingResult& result);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    SendingMode mode() const;
    void chooseFile();
    QString sourceProblem(const QString& kochCharacters) const;
    // The words keyed since those said last, spelled: those a word gap has ended, or to the end.
    QString newKeyedWords(const QString& keyed, bool toTheEnd);
    void echoJudged(bool right, const QString& keyed, const QString& group);
    void playEchoGroupLater();
    void playEchoGroup();
    void stopPlaying();
    void updateControls();

    Clock& m_clock;
    CharacterDispatch& m_dispatch;
    DesktopServices& m_desktop;
    Announcer* m_announcer;
    QComboBox* m_mode;
    QComboBox* m_source;
    QPushButton* m_fileButton;
    QLabel* m_target;
    QPlainTextEdit* m_decoded;
    QPlainTextEdit* m_comparison;
    QLabel* m_score;
    QLabel* m_tally;
    QPushButton* m_startButton;
    QPushButton* m_finishButton;
    QPushButton* m_replayButton;
    QWidget* m_keyingArea;

    KochSource m_kochSource;
    QStringList m_fileWords;
    std::optional<quint32> m_seed;
    std::unique_ptr<SendingTexts> m_texts;
    KeyedText m_free;
    std::optional<SendingCopy> m_copy;
    std::optional<SendingEcho> m_echo;
    SendingMode m_runMode = SendingMode::Free;  // the running practice's, whatever is chosen
    qsizetype m_saidUpTo = 0;                   // the keyed text up to here has been said
    bool m_running = false;
    TextPlayback m_echoPlayback{m_dispatch, m_clock};
    quint64 m_playStops = 0;  // a playback ends when this changes
    quint64 m_echoTimer = 0;  // the clock's timer id, 0 when none is set
};
