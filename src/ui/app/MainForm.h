#pragma once

#include <QMainWindow>
#include <memory>

#include "core/kit/ClockTimer.h"
#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/lesson/LessonSession.h"
#include "core/link/SessionChoices.h"
#include "core/morse/BeepGenerator.h"
#include "core/morse/CharacterDispatch.h"
#include "core/morse/PracticeSettings.h"
#include "core/morse/SoundControls.h"
#include "core/morse/WaveGenerator.h"
#include "ui/app/AppContext.h"
#include "ui/app/KochCourseMenu.h"
#include "ui/app/MainFormUi.h"
#include "ui/app/SendingMenu.h"
#include "ui/app/SoloPractice.h"
#include "ui/authoring/ExchangeWindows.h"
#include "ui/help/HelpMenu.h"
#include "ui/history/HistoryMenu.h"
#include "ui/history/LessonHistory.h"
#include "ui/kit/FormContext.h"
#include "ui/lesson/AnswerInput.h"
#include "ui/lesson/CharacterRange.h"
#include "ui/lesson/CopyScoring.h"
#include "ui/lesson/FineAdjustment.h"
#include "ui/lesson/LessonAnnouncements.h"
#include "ui/lesson/LessonController.h"
#include "ui/lesson/LessonPanelView.h"
#include "ui/lesson/PracticeWindow.h"
#include "ui/lesson/QuestionPlayer.h"
#include "ui/lesson/ReceiveMode.h"
#include "ui/lesson/SessionChoicesBinding.h"
#include "ui/link/LinkAnnouncements.h"
#include "ui/link/PeerLink.h"
#include "ui/morse/BandConditionsMenu.h"
#include "ui/morse/PracticeSettingsBinding.h"
#include "ui/morse/SoundMenu.h"
#include "ui/morse/ToneTextFilter.h"
#include "ui/morse/WaveDialog.h"

// The main window: owns its controls, the shared state and one member object per subsystem.
// Each subsystem connects its own controls when it is made; the window itself handles start-up,
// the save button and the end of the program.
class MainForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainForm(AppContext context, QWidget* parent = nullptr);
    ~MainForm() override;

    const MainFormUi& ui() const { return m_ui; }
    AppContext& context() { return m_context; }
    LinkState& link() { return m_link; }
    LessonState& lesson() { return m_lesson; }
    SessionChoices& choices() { return m_choices; }
    MorseSoundState& soundState() { return m_soundState; }
    PracticeSettings& practiceSettings() { return m_settings; }
    BeepGenerator& beepGenerator() { return m_beep; }
    WaveGenerator& waveGenerator() { return m_wave; }
    CharacterDispatch& characterDispatch() { return m_dispatch; }
    WaveDialog& waveDialog() { return *m_waveDialog; }
    PeerLink& peerLink() { return m_peerLink; }
    QuestionPlayer& questionPlayer() { return m_player; }
    LessonSession& lessonSession() { return m_lessonSession; }
    AnswerInput& answerInput() { return m_answers; }
    LessonController& lessonController() { return m_lessonController; }
    ExchangeWindows& exchangeWindows() { return m_exchange; }
    SoloPractice& soloPractice() { return m_solo; }
    LessonHistory& lessonHistory() { return m_history; }
    HistoryMenu& historyMenu() { return m_historyMenu; }
    LessonAnnouncements& announcements() { return m_announcements; }
    SendingMenu& sendingMenu() { return m_sending; }

    void MainForm_Form_Load();
    void MainForm_SaveSetButton_Command_Click();
    void MainForm_Form_QueryUnload();
    void MainForm_mnuEnd_Click();

    // Every control in the state it has while no peer is connected.
    void ApplyNotConnectedState();

    // Whether the program is ending (then every wait returns at once).
    bool isEnding() const { return m_ending; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void loadSettings();
    void keepAcceptOnlyPeer(bool on);
    void endProgram();
    void showSettingsSaved();
    void showSoundState(bool on);
    void connectLessonToItsWindows();

    // Built first: the members after it connect to its controls as they are made.
    AppContext m_context;
    MainFormUi m_ui;
    LinkState m_link;
    LessonState m_lesson;
    MorseSoundState m_soundState;
    SessionChoices m_choices;
    SessionChoicesBinding m_choicesBinding;
    FormContext m_form;
    PracticeWindow m_practiceWindow;
    // The lesson's controls as the link and the question exchange below the practice side set
    // them.
    LessonPanelView m_lessonPanel;

  public:
    // The window's timers, children of the window as its controls are.
    ClockTimer* const ConnectTimer;
    ClockTimer* const RetryPingTimer;
    ClockTimer* const PingTimer;

  private:
    PracticeSettings m_settings;
    PracticeSettingsBinding m_settingsBinding;
    BeepGenerator m_beep;
    WaveGenerator m_wave;
    CharacterDispatch m_dispatch;
    // No child of the window: its control names repeat some of the window's.
    std::unique_ptr<WaveDialog> m_waveDialog;
    SoundMenu m_soundMenu;
    BandConditionsMenu m_bandMenu;
    ToneTextFilter m_toneTextFilter;
    FineAdjustment m_fineAdjustment;
    PeerLink m_peerLink;
    ExchangeWindows m_exchange;
    ReceiveModeSelection m_receiveMode;
    LessonSession m_lessonSession;
    QuestionPlayer m_player;
    AnswerInput m_answers;
    LessonController m_lessonController;
    CharacterRange m_characterRange;
    // One voice for the window: the lesson's and the link's announcements share it.
    Announcer* m_announcer;
    LessonAnnouncements m_announcements;
    CopyScoring m_copyScoring;
    LinkAnnouncements m_linkAnnouncements;
    LessonHistory m_history;
    HistoryMenu m_historyMenu;
    HelpMenu m_help;
    SoloPractice m_solo;
    KochCourseMenu m_kochCourse;
    SendingMenu m_sending;
    bool m_ending = false;
};
