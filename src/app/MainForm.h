#pragma once

#include <QMainWindow>
#include <memory>

#include "app/AppContext.h"
#include "morse/BeepGenerator.h"
#include "morse/CharacterDispatch.h"
#include "common/LessonState.h"
#include "common/LinkState.h"
#include "morse/MainFormSoundControls.h"
#include "common/MainFormUi.h"
#include "morse/SoundControls.h"
#include "morse/WaveGenerator.h"

class ClockTimer;
class PeerLink;
class SoundMenu;
class WaveDialog;
class FineAdjustment;
class ToneTextFilter;

// The main window: owns its controls and the shared state; each subsystem's
// handlers live in a class of their own that the window connects.
class MainForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainForm(AppContext context, QWidget* parent = nullptr);
    ~MainForm() override;

    const MainFormUi& ui() const { return m_ui; }
    AppContext& context() { return m_context; }
    LinkState& link() { return m_link; }
    LessonState& lesson() { return m_lesson; }
    MorseSoundState& soundState() { return m_soundState; }
    BeepGenerator& beepGenerator() { return m_beep; }
    WaveGenerator& waveGenerator() { return m_wave; }
    CharacterDispatch& characterDispatch() { return m_dispatch; }
    WaveDialog& waveDialog() { return *m_waveDialog; }
    PeerLink& peerLink() { return *m_peerLink; }

    ClockTimer* ConnectTimer = nullptr;
    ClockTimer* RetryPingTimer = nullptr;
    ClockTimer* PingTimer = nullptr;

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
    void endProgram();
    void showSettingsSaved();
    void showSoundState(bool on);

    AppContext m_context;
    MainFormUi m_ui;
    LinkState m_link;
    LessonState m_lesson;
    MorseSoundState m_soundState;
    MainFormSoundControls m_controls;
    BeepGenerator m_beep;
    WaveGenerator m_wave;
    CharacterDispatch m_dispatch;
    // No child of the window: its control names repeat some of the window's.
    std::unique_ptr<WaveDialog> m_waveDialog;
    SoundMenu* m_soundMenu = nullptr;
    FineAdjustment* m_fineAdjustment = nullptr;
    ToneTextFilter* m_toneTextFilter = nullptr;
    PeerLink* m_peerLink = nullptr;
    bool m_ending = false;
};
