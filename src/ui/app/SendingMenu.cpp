#include "ui/app/SendingMenu.h"

#include <QAction>

#include "core/history/HistoryStore.h"
#include "core/history/KochCourse.h"
#include "core/kit/ProgramSettings.h"
#include "core/kit/SaveMessages.h"
#include "core/morse/SoundControls.h"
#include "core/morse/ToneFrequency.h"
#include "core/sound/SoundOutput.h"
#include "ui/app/KeyedChat.h"
#include "ui/app/MainFormUi.h"
#include "ui/app/SendingPracticeEnd.h"
#include "ui/kit/DesktopServices.h"
#include "ui/kit/WindowOpening.h"
#include "ui/morse/KeyInputDialog.h"
#include "ui/morse/KeyingPad.h"

using namespace Qt::StringLiterals;

SendingMenu::SendingMenu(QWidget* mainWindow, const MainFormUi& ui, const SessionChoices& choices,
                         const SoundControls& controls, SoundOutput& sound, Clock& clock,
                         DesktopServices& desktop, ChatSession& cwChat, CharacterDispatch& dispatch,
                         HistoryStore& history, QString programSettingsPath, QObject* parent)
    : QObject(parent),
      m_mainWindow(mainWindow),
      m_controls(controls),
      m_sound(sound),
      m_clock(clock),
      m_desktop(desktop),
      m_settingsPath(std::move(programSettingsPath)),
      m_dispatch(dispatch),
      m_history(history),
      m_settings(LoadKeyInputSettings(ProgramSettings(m_settingsPath))),
      m_chat(new KeyedChat(ui, choices, clock, cwChat, this)) {
    connect(ui.mnuSendingPractice, &QAction::triggered, this, &SendingMenu::openPractice);
    connect(ui.mnuSendingFromSound, &QAction::triggered, this, &SendingMenu::openDecoding);
    connect(ui.mnuSendingInput, &QAction::triggered, this, &SendingMenu::openInputSettings);
    m_chat->pad().setSettings(m_settings);
    m_chat->pad().setSidetone(sidetone());
    connect(m_chat, &KeyedChat::padShown, this, &SendingMenu::padOpened);
    connect(m_chat, &KeyedChat::padHidden, this, &SendingMenu::padClosed);
}

SendingMenu::~SendingMenu() {
    delete m_practice;
    delete m_decode;
}

namespace {

// A window of the menu opens once: when it is open already, it comes forward.
bool RaisedIfOpen(QWidget* window) {
    if (window == nullptr) {
        return false;
    }
    window->raise();
    window->activateWindow();
    return true;
}

}  // namespace

void SendingMenu::openPractice() {
    if (RaisedIfOpen(m_practice)) {
        return;
    }
    auto* pad = new KeyingPad(m_clock);
    pad->setSettings(m_settings);
    pad->setSidetone(sidetone());
    m_practicePad = pad;
    m_practice = new SendingPracticeWindow(m_clock, m_dispatch, m_desktop, pad);
    m_practice->setAttribute(Qt::WA_DeleteOnClose);
    // The Koch groups are those of the course as it stands when each practice starts.
    m_practice->setKochSource(
        [path = KochCoursePath(m_history.path())] { return LoadKochCourse(path).taught(); });
    connect(pad, &KeyingPad::characterDecoded, m_practice, &SendingPracticeWindow::takeDecoded);
    connect(m_practice, &SendingPracticeWindow::practiceStarted, pad, &KeyingPad::reset);
    connect(m_practice, &SendingPracticeWindow::finishing, pad, &KeyingPad::finish);
    connect(m_practice, &SendingPracticeWindow::practiceEnded, this,
            [this, pad](const SendingResult& result) {
                FinishSendingPractice(m_mainWindow, m_desktop, m_history, result, pad->session());
            });
    padOpened();
    connect(m_practice, &QObject::destroyed, this, &SendingMenu::padClosed);
    ShowModeless(m_practice, m_mainWindow, {1200, 1200});
    m_practice->setFocus();
}

void SendingMenu::openDecoding() {
    if (RaisedIfOpen(m_decode)) {
        return;
    }
    auto* session = new SoundDecodingSession;
    m_decode = new SoundDecodeWindow(*session, m_clock, m_desktop);
    session->setParent(m_decode);
    m_decode->setAttribute(Qt::WA_DeleteOnClose);
    ShowModeless(m_decode, m_mainWindow, {1200, 1200});
    m_decode->activateWindow();
}

void SendingMenu::openInputSettings() {
    KeyInputDialog dialog(m_clock, m_settings, m_mainWindow);
    dialog.setWindowFlag(Qt::Dialog);
    dialog.testPad().setSidetone(sidetone());
    padOpened();
    const bool accepted = dialog.OpenModal(m_mainWindow);
    padClosed();
    if (!accepted) {
        return;
    }
    m_settings = dialog.settings();
    ProgramSettings store(m_settingsPath);
    if (!SaveKeyInputSettings(store, m_settings)) {
        m_desktop.showMessage(m_mainWindow, DesktopServices::Icon::Warning, u"キー入力の設定"_s,
                              SaveMessages::KeptForThisRun(m_settingsPath));
    }
    if (m_practicePad != nullptr) {
        m_practicePad->setSettings(m_settings);
    }
    m_chat->pad().setSettings(m_settings);
}

void SendingMenu::padOpened() {
    if (m_openPads++ == 0) {
        m_sound.openKeying();
    }
}

void SendingMenu::padClosed() {
    if (m_openPads > 0 && --m_openPads == 0) {
        m_sound.keyUp();
        m_sound.closeKeying();
    }
}

std::function<void(bool)> SendingMenu::sidetone() {
    return [this](bool down) {
        if (down) {
            m_sound.keyDown(m_controls.toneHz());
        } else {
            m_sound.keyUp();
        }
    };
}
