#include "ui/app/MainForm.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "core/kit/Clock.h"
#include "core/kit/Places.h"
#include "core/kit/ProgramSettings.h"
#include "core/kit/RecordFile.h"
#include "core/kit/SettingsRecords.h"
#include "core/kit/SpeedTable.h"
#include "core/lesson/LessonKind.h"
#include "core/link/MainSettings.h"
#include "core/morse/MorseTiming.h"
#include "core/morse/SoundFolder.h"
#include "core/morse/ToneFrequency.h"
#include "core/sound/SoundOutput.h"
#include "ui/app/SettingsSavedDialog.h"
#include "ui/kit/Announcer.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/kit/WindowOpening.h"

namespace {

MainFormUi BuiltUi(QMainWindow* window) {
    window->setObjectName(QStringLiteral("MainForm"));
    MainFormUi ui;
    ui.setupUi(window);
    return ui;
}

ClockTimer* NamedTimer(Clock& clock, int intervalMs, const QString& name, QObject* parent) {
    auto* timer = new ClockTimer(clock, intervalMs, parent);
    timer->setObjectName(name);
    return timer;
}

// The program's own settings, beside saveset.dat.
ProgramSettings ProgramSettingsBeside(const Places& places) {
    return ProgramSettings(ProgramSettings::PathBeside(places.settingsPath()));
}

}  // namespace

MainForm::MainForm(AppContext context, QWidget* parent)
    : QMainWindow(parent),
      m_context(std::move(context)),
      m_ui(BuiltUi(this)),
      m_choicesBinding(m_choices, m_ui, m_ui),
      m_form{*this, m_link, m_lesson, m_choices, m_context.clock, m_context.desktop},
      m_practiceWindow{m_form, m_ui, m_ui, m_ui},
      m_lessonPanel(m_ui, m_lesson),
      ConnectTimer(NamedTimer(m_context.clock, 2000, QStringLiteral("ConnectTimer"), this)),
      RetryPingTimer(NamedTimer(m_context.clock, 60000, QStringLiteral("RetryPingTimer"), this)),
      PingTimer(NamedTimer(m_context.clock, 0, QStringLiteral("PingTimer"), this)),
      m_settingsBinding(m_ui, m_settings),
      m_beep(m_context.sound, m_settings, m_soundState, m_context.clock),
      m_wave(m_context.sound, m_settings, m_soundState, m_context.clock, m_context.places),
      m_dispatch(m_beep, m_wave, m_context.sound, m_settings, m_soundState),
      // Made hidden here so that start-up can load the saved levels into it.
      m_waveDialog(std::make_unique<WaveDialog>(m_wave, m_settings, m_context.places.settingsPath(),
                                                m_context.clock, m_context.desktop)),
      m_soundMenu(this, m_ui, *m_waveDialog, m_wave, m_settings),
      m_bandMenu(this, m_ui.mnuSoundBand, m_context.sound, m_settings,
                 ProgramSettings::PathBeside(m_context.places.settingsPath()), m_context.clock,
                 m_context.desktop),
      m_toneTextFilter(m_ui.ToneText),
      m_fineAdjustment(m_ui.Speed_HScroll, m_ui.Label7),
      m_peerLink(NetWindow{m_form, m_ui, m_ui, m_lessonPanel, m_context.ports, *ConnectTimer,
                           *RetryPingTimer},
                 m_dispatch),
      m_exchange(m_form, m_ui, m_lessonPanel, m_peerLink.module()),
      m_receiveMode(m_practiceWindow, m_peerLink.module(), m_settings),
      m_lessonSession(LessonParts{m_lesson, m_link, m_choices, m_peerLink.module(), m_dispatch,
                                  m_context.sound, m_settings, m_soundState, m_context.clock}),
      m_player(m_practiceWindow, m_lessonSession),
      m_answers(m_practiceWindow, m_lessonSession, m_peerLink.cwChat()),
      m_lessonController(m_practiceWindow, m_peerLink.module(), m_player, m_lessonSession,
                         m_context.sound, m_context.places.currentDir()),
      m_characterRange(m_ui, m_choices),
      m_announcer(new Announcer(this, m_context.clock)),
      m_announcements(*m_announcer, m_ui, m_player, m_lessonController),
      m_copyScoring(m_practiceWindow, m_player, m_lessonController, *m_announcer),
      m_linkAnnouncements(*m_announcer, m_ui, m_peerLink.module(), m_peerLink.cwChat()),
      m_history(m_form, m_settings, m_context.historyPath),
      m_historyMenu(m_form, m_ui, m_history.store()),
      m_help(m_form, m_ui, m_context.places),
      m_solo(m_form, m_peerLink.connection(), m_ui, m_context.places, m_context.ports,
             m_history.store().path()),
      m_kochCourse(m_form, m_ui, *m_announcer, m_history.store().path()),
      m_sending(this, m_ui, m_choices, m_settings, m_context.sound, m_context.clock,
                m_context.desktop, m_peerLink.cwChat(), m_dispatch, m_history.store(),
                ProgramSettingsBeside(m_context.places).path()) {
    // The peer's choices of mode, speed and chat kind are carried out by the practice side.
    m_peerLink.view().setPracticeSide(&m_receiveMode);
    // Speech waits for the Morse it would cover.
    m_announcer->setSoundAhead([this] { return m_context.sound.msAhead(); });
    // Until the settings file says otherwise, the synthesised sound is in use.
    m_ui.mnuSoundWave->setChecked(true);
    m_settingsBinding.bindWaveLevelBars(m_waveDialog->WavQuarityHScroll,
                                        m_waveDialog->WavVolumeHScroll);
    m_settingsBinding.setStorePath(ProgramSettingsBeside(m_context.places).path());

    connect(m_ui.SaveSetButton_Command, &QPushButton::clicked, this,
            &MainForm::MainForm_SaveSetButton_Command_Click);
    connect(m_ui.mnuEnd, &QAction::triggered, this, &MainForm::MainForm_mnuEnd_Click);
    // The user's clicks only: start-up setting the box writes nothing.
    connect(m_ui.AcceptOnlyPeerCheck, &QCheckBox::clicked, this, &MainForm::keepAcceptOnlyPeer);
    connect(&m_context.sound, &SoundOutput::soundOnChanged, this, &MainForm::showSoundState);
    connect(m_ui.ToneText, &QLineEdit::textChanged, &m_bandMenu,
            &BandConditionsMenu::applyToOutput);
    m_bandMenu.showStatusIn(m_ui.bandStatusLabel);
    m_history.setBandConditions([this] { return m_bandMenu.effectiveConditions(); });
    m_context.sound.setBandRefresh([this] { m_bandMenu.applyToOutput(); });
    QuillNetModule& module = m_peerLink.module();
    connect(&module, &QuillNetModule::bandRequested, &m_bandMenu,
            [this, &module](const BandConditions& requested) {
                const quint64 serial = module.linkSerial();
                module.AppendLogLine(m_bandMenu.takeRequest(
                    requested, [&module, serial] { return !module.linkGoneSince(serial); }));
            });
    connectLessonToItsWindows();
    // After the history has kept the lesson, which the course weighs with the others.
    connect(&m_lessonController, &LessonController::lessonFinished, &m_kochCourse, [this] {
        if (m_solo.partnerRunning()) {
            m_kochCourse.lessonKept();
        }
    });
    showSoundState(m_context.sound.isSoundOn());

    MainForm_Form_Load();
}

MainForm::~MainForm() {
    m_context.sound.setBandRefresh({});
}

void MainForm::connectLessonToItsWindows() {
    ExchangeWindows* exchange = &m_exchange;
    connect(&m_lessonController, &LessonController::questionEditorWanted, exchange,
            &ExchangeWindows::OpenQuestionForm);
    connect(&m_lessonController, &LessonController::stayNoticeWanted, exchange,
            &ExchangeWindows::ShowStayNotice);
    connect(&m_lessonController, &LessonController::abortChoiceWanted, exchange,
            &ExchangeWindows::ShowAbortChoice);
    connect(&m_player, &QuestionPlayer::longAnswerToShow, exchange,
            &ExchangeWindows::ShowModelAnswer);
    connect(&m_lessonController, &LessonController::callUpSounding, &m_history,
            &LessonHistory::LessonStarting);
    connect(&m_lessonController, &LessonController::lessonFinished, &m_history,
            &LessonHistory::LessonFinished);
}

void MainForm::showSoundState(bool on) {
    m_ui.soundStatusLabel->setText(on ? QStringLiteral("サウンド: オン")
                                      : QStringLiteral("サウンド: オフ（音声出力なし）"));
}

void MainForm::loadSettings() {
    RecordFile file(m_context.places.settingsPath());

    // A tone outside the range was never saved by the range-checked box (0 is a missing file):
    // the design value stays rather than a buzz at the lowest tone.
    const int tone = file.readInt(SettingsRecord::Tone);
    if (tone >= kLowestTone && tone <= kHighestTone) {
        m_ui.ToneText->setText(QString::number(tone));
    }

    // Selecting a speed runs its handler just as a click would.
    if (const Speed* speed = SpeedForPerMinute(file.readInt(SettingsRecord::Speed))) {
        m_receiveMode.selectSpeed(speed->perMinute);
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

    m_choices.setCallsign(file.readText(SettingsRecord::Callsign));
    const ProgramSettings store = ProgramSettingsBeside(m_context.places);
    m_choices.setPeerAddress(LoadPeerAddress(file, store));
    m_choices.setAcceptOnlyPeer(LoadAcceptOnlyPeer(store));
    m_settingsBinding.loadFreeSpeed();
}

// Kept as soon as the user makes the choice, 設定保存 or not: a protection turned on must not be
// found off at the next start because a button far from it was not pressed.
void MainForm::keepAcceptOnlyPeer(bool on) {
    ProgramSettings store = ProgramSettingsBeside(m_context.places);
    if (!SaveAcceptOnlyPeer(store, on)) {
        m_context.desktop.showMessage(this, DesktopServices::Icon::Warning,
                                      QStringLiteral("設定保存"),
                                      AcceptOnlyPeerNotKeptMessage(store));
    }
}

void MainForm::MainForm_Form_Load() {
    loadSettings();

    SoundFolder::Prepare(m_context.places.soundFolder());

    if (m_choices.chatMode()) {
        SetEnabled(
            {m_ui.StartButton_Command, m_ui.StopButton_Command, m_ui.KaitoupassButton_Command},
            false);
    }

    if (m_settings.selectedGenerator() == SoundGenerator::Wave) {
        m_ui.mnuSoundQuarity->setEnabled(true);
    } else if (m_settings.selectedGenerator() == SoundGenerator::Beep) {
        m_ui.mnuSoundQuarity->setEnabled(false);
    }

    m_peerLink.PrepareAtStartUp();
    m_link.sendDone = true;
    ApplyNotConnectedState();
}

void MainForm::ApplyNotConnectedState() {
    m_ui.mnuNet->menuAction()->setEnabled(false);
    m_ui.mnuNetTeacherMode->setEnabled(false);
    m_ui.mnuMojiHanni->menuAction()->setEnabled(false);
    ConnectTimer->setEnabled(false);
    RetryPingTimer->setEnabled(false);
    SetEnabled({m_ui.CloseButton, m_ui.TeacherOption, m_ui.StudentOption, m_ui.StartButton_Command,
                m_ui.StopButton_Command, m_ui.ChatMode_Option, m_ui.optionMoji, m_ui.optionCw,
                m_ui.StepMode_Option, m_ui.NormalMode_Option},
               false);
    m_ui.mnuNetTeacherMode->setChecked(false);
    m_ui.mnuNetStudentMode->setChecked(true);
}

void MainForm::MainForm_SaveSetButton_Command_Click() {
    MainSettings settings;
    settings.tone = m_settings.storedTone();
    settings.speed = m_settings.selectedSpeed();
    settings.fineAdjust = m_settings.fineAdjustValue();
    switch (m_settings.selectedGenerator()) {
        case SoundGenerator::Wave:
            settings.soundMode = kSoundModeWave;
            break;
        case SoundGenerator::Beep:
            settings.soundMode = kSoundModeBeep;
            break;
        case SoundGenerator::None:
            break;
    }
    settings.callsign = m_choices.callsign();
    settings.peerAddress = m_choices.peerAddress();
    settings.acceptOnlyPeer = m_choices.acceptOnlyPeer();
    settings.freeSpeed = {m_settings.freeFigures(), m_settings.freeSpeed().has_value()};

    RecordFile file(m_context.places.settingsPath());
    ProgramSettings store = ProgramSettingsBeside(m_context.places);
    const SaveOutcome outcome = SaveMainSettings(file, store, settings);
    if (!outcome.allSaved()) {
        // Saying "saved" here would hide that a setting was lost.
        m_context.desktop.showMessage(this,
                                      outcome.fileUnwritable() ? DesktopServices::Icon::Critical
                                                               : DesktopServices::Icon::Warning,
                                      QStringLiteral("設定保存"),
                                      SaveOutcomeMessage(outcome, file.path()));
        return;
    }
    showSettingsSaved();
}

void MainForm::showSettingsSaved() {
    // Guarded: the user may close the notice (Esc, its close box) before its time is up.
    const QPointer<QWidget> notice = new Dialog(this);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    ShowModeless(notice, this, {4300, 3500});
    CloseAfter(m_context.clock, notice, 1200);
}

void MainForm::MainForm_Form_QueryUnload() {
    // A lesson waiting for an answer lets go at once.
    if (LessonKindFor(m_choices.mode()).judgesEachCharacter()) {
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
    // Silent at once: what was planned ahead goes.
    m_context.sound.cut();
    m_peerLink.MainForm_Form_Unload();
    SoundFolder::Remove(m_context.places.soundFolder());
    RecordFile file(m_context.places.settingsPath());
    // A callsign the record cannot hold leaves the saved one as it was; a file that is not a
    // record file is not written either (no window is left to say so).
    SaveCallsign(file, m_choices.callsign());
    m_context.clock.requestQuit();
    m_context.exitProgram();
}

void MainForm::closeEvent(QCloseEvent* event) {
    MainForm_Form_QueryUnload();
    event->accept();
}
