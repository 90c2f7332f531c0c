#include "app/MainForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "common/Clock.h"
#include "common/ClockTimer.h"
#include "common/DesktopServices.h"
#include "practice/FineAdjustment.h"
#include "morse/MorseTiming.h"
#include "net/PeerLink.h"
#include "common/Places.h"
#include "common/RecordFile.h"
#include "app/MainSettings.h"
#include "common/SettingsRecords.h"
#include "app/SettingsSavedDialog.h"
#include "app/SoundFolder.h"
#include "morse/SoundMenu.h"
#include "morse/SoundOutput.h"
#include "morse/ToneTextFilter.h"
#include "morse/WaveDialog.h"
#include "common/WindowPlacement.h"

MainForm::MainForm(AppContext context, QWidget* parent)
    : QMainWindow(parent),
      m_context(std::move(context)),
      m_controls(m_ui),
      m_beep(m_context.sound, m_controls, m_soundState, m_context.clock),
      m_wave(m_context.sound, m_controls, m_soundState, m_context.clock, m_context.places),
      m_dispatch(m_beep, m_wave, m_context.sound, m_controls, m_soundState) {
    setObjectName(QStringLiteral("MainForm"));
    m_ui.setupUi(this);
    // Until the settings file says otherwise, the synthesised sound is in use.
    m_ui.mnuSoundWave->setChecked(true);

    ConnectTimer = new ClockTimer(m_context.clock, 2000, this);
    ConnectTimer->setObjectName(QStringLiteral("ConnectTimer"));
    RetryPingTimer = new ClockTimer(m_context.clock, 60000, this);
    RetryPingTimer->setObjectName(QStringLiteral("RetryPingTimer"));
    PingTimer = new ClockTimer(m_context.clock, 0, this);
    PingTimer->setObjectName(QStringLiteral("PingTimer"));

    m_fineAdjustment = new FineAdjustment(m_ui.Speed_HScroll, m_ui.Label7);
    m_toneTextFilter = new ToneTextFilter(m_ui.ToneText);
    // Created hidden here so that start-up can load the saved levels into it.
    m_waveDialog = std::make_unique<WaveDialog>(m_wave, m_controls, m_context.places.settingsPath(),
                                                m_context.clock);
    m_controls.setWaveLevelBars(m_waveDialog->WavQuarityHScroll, m_waveDialog->WavVolumeHScroll);
    m_soundMenu = new SoundMenu(this, m_ui, *m_waveDialog, m_wave, m_controls);
    m_soundMenu->connectControls();

    m_peerLink = new PeerLink(NetWindow{*this, m_ui, m_link, m_context.clock, m_context.desktop,
                                        m_context.ports, *ConnectTimer, *RetryPingTimer},
                              this);

    connect(m_ui.SaveSetButton_Command, &QPushButton::clicked, this,
            &MainForm::MainForm_SaveSetButton_Command_Click);
    connect(m_ui.mnuEnd, &QAction::triggered, this, &MainForm::MainForm_mnuEnd_Click);
    connect(&m_context.sound, &SoundOutput::soundOnChanged, this, &MainForm::showSoundState);
    showSoundState(m_context.sound.isSoundOn());

    MainForm_Form_Load();
}

MainForm::~MainForm() = default;

void MainForm::showSoundState(bool on) {
    m_ui.soundStatusLabel->setText(on ? QStringLiteral("サウンド: オン")
                                      : QStringLiteral("サウンド: オフ（音声出力なし）"));
}

void MainForm::loadSettings() {
    RecordFile file(m_context.places.settingsPath());

    m_ui.ToneText->setText(QString::number(file.readInt(SettingsRecord::Tone)));

    // Selecting a speed runs its handler just as a click would.
    switch (file.readInt(SettingsRecord::Speed)) {
        case 25:
            m_ui.Speed25_Option->setChecked(true);
            break;
        case 45:
            m_ui.Speed45_Option->setChecked(true);
            break;
        case 60:
            m_ui.Speed60_Option->setChecked(true);
            break;
        default:
            break;
    }

    const int fineAdjust = file.readInt(SettingsRecord::FineAdjust);
    if (IsFineAdjustStep(fineAdjust)) {
        m_ui.Speed_HScroll->setValue(fineAdjust);
    }

    const QString soundMode = file.readText(SettingsRecord::SoundMode);
    if (soundMode == kSoundModeWave || soundMode == kSoundModeBeep) {
        m_ui.mnuSoundWave->setChecked(soundMode == kSoundModeWave);
        m_ui.mnuSoundBeep->setChecked(soundMode == kSoundModeBeep);
    }

    m_waveDialog->ApplySavedLevels(file);

    m_ui.CallsignText->setText(file.readText(SettingsRecord::Callsign));
    m_ui.ConnectIpText->setText(file.readText(SettingsRecord::PeerAddress));
}

void MainForm::MainForm_Form_Load() {
    loadSettings();

    SoundFolder::Prepare(m_context.places.soundFolder());

    if (m_ui.ChatMode_Option->isChecked()) {
        m_ui.StartButton_Command->setEnabled(false);
        m_ui.StopButton_Command->setEnabled(false);
        m_ui.KaitoupassButton_Command->setEnabled(false);
    }

    if (m_ui.mnuSoundWave->isChecked()) {
        m_ui.mnuSoundQuarity->setEnabled(true);
    } else if (m_ui.mnuSoundBeep->isChecked()) {
        m_ui.mnuSoundQuarity->setEnabled(false);
    }

    m_peerLink->PrepareAtStartUp();
    m_link.sendDone = true;
    ApplyNotConnectedState();
}

void MainForm::ApplyNotConnectedState() {
    m_ui.mnuNet->menuAction()->setEnabled(false);
    m_ui.mnuNetTeacherMode->setEnabled(false);
    m_ui.mnuMojiHanni->menuAction()->setEnabled(false);
    ConnectTimer->setEnabled(false);
    RetryPingTimer->setEnabled(false);
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_ui.CloseButton, m_ui.TeacherOption, m_ui.StudentOption, m_ui.StartButton_Command,
             m_ui.StopButton_Command, m_ui.ChatMode_Option, m_ui.optionMoji, m_ui.optionCw,
             m_ui.StepMode_Option, m_ui.NormalMode_Option}) {
        control->setEnabled(false);
    }
    m_ui.mnuNetTeacherMode->setChecked(false);
    m_ui.mnuNetStudentMode->setChecked(true);
}

void MainForm::MainForm_SaveSetButton_Command_Click() {
    MainSettings settings;
    settings.toneText = m_ui.ToneText->text();
    settings.speed = m_controls.selectedSpeed();
    settings.fineAdjust = m_ui.Speed_HScroll->value();
    switch (m_controls.selectedGenerator()) {
        case SoundGenerator::Wave:
            settings.soundMode = kSoundModeWave;
            break;
        case SoundGenerator::Beep:
            settings.soundMode = kSoundModeBeep;
            break;
        case SoundGenerator::None:
            break;
    }
    settings.callsign = m_ui.CallsignText->text();
    settings.peerAddress = m_ui.ConnectIpText->text();

    RecordFile file(m_context.places.settingsPath());
    const QStringList notSaved = SaveMainSettings(file, settings);
    if (!notSaved.isEmpty()) {
        // Saying "saved" here would hide that a setting was lost.
        m_context.desktop.showMessage(
            this, DesktopServices::Icon::Warning, QStringLiteral("設定保存"),
            QStringLiteral("次の設定は保存できませんでした：%1\n\n"
                           "トーン周波数は -32768～32767 の整数で、コールサインと接続先IPは"
                           "半角12文字（全角6文字）以内で入力して下さい。\n"
                           "それ以外の設定は保存しました。")
                .arg(notSaved.join(QStringLiteral("、"))));
        return;
    }
    showSettingsSaved();
}

void MainForm::showSettingsSaved() {
    auto* notice = new Dialog(this);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    PlaceRelativeTo(notice, this, 4300, 3500);
    notice->show();
    Delay(m_context.clock, 1200);
    notice->close();
}

void MainForm::MainForm_Form_QueryUnload() {
    if (m_ui.StepMode_Option->isChecked()) {
        m_lesson.stopPlayback = true;
    }
    endProgram();
}

void MainForm::MainForm_mnuEnd_Click() {
    endProgram();
}

void MainForm::endProgram() {
    if (m_ending) {
        return;
    }
    m_ending = true;
    m_peerLink->MainForm_Form_Unload();
    SoundFolder::Remove(m_context.places.soundFolder());
    RecordFile file(m_context.places.settingsPath());
    // A callsign the record cannot hold leaves the saved one as it was.
    SaveCallsign(file, m_ui.CallsignText->text());
    m_context.clock.requestQuit();
    m_context.exitProgram();
}

void MainForm::closeEvent(QCloseEvent* event) {
    MainForm_Form_QueryUnload();
    event->accept();
}
