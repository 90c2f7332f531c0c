#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "core/morse/KeyInputSettings.h"
#include "ui/lesson/SendingPracticeWindow.h"
#include "ui/lesson/SoundDecodeWindow.h"
#include "ui/morse/KeyingPad.h"

class CharacterDispatch;
class Clock;
class HistoryStore;

class ChatSession;
class DesktopServices;
class KeyedChat;
class SoundControls;
class SessionChoices;
class SoundOutput;
struct MainFormUi;

// The sending menu: the practice window, the window that decodes sound (a station off the air,
// or the learner's own sending through a microphone) and the key input settings, kept in the
// program's own settings file and applied to every keying pad. The sidetone sounds through the
// output's live keyed tone, which is open while any keying pad is.
class SendingMenu : public QObject {
    Q_OBJECT
  public:
    SendingMenu(QWidget* mainWindow, const MainFormUi& ui, const SessionChoices& choices,
                const SoundControls& controls, SoundOutput& sound, Clock& clock,
                DesktopServices& desktop, ChatSession& cwChat, CharacterDispatch& dispatch,
                HistoryStore& history, QString programSettingsPath, QObject* parent = nullptr);
    ~SendingMenu() override;

    const KeyInputSettings& settings() const { return m_settings; }
    SendingPracticeWindow* practiceWindow() const { return m_practice; }
    KeyingPad* practicePad() const { return m_practicePad; }
    KeyedChat& keyedChat() const { return *m_chat; }
    SoundDecodeWindow* decodeWindow() const { return m_decode; }

    void openPractice();
    // 音声から解読, with a session of its own that ends with the window.
    void openDecoding();
    void openInputSettings();

  private:
    // The live keyed tone, open while at least one pad is.
    void padOpened();
    void padClosed();
    std::function<void(bool)> sidetone();

    QWidget* m_mainWindow;
    const SoundControls& m_controls;
    SoundOutput& m_sound;
    Clock& m_clock;
    DesktopServices& m_desktop;
    QString m_settingsPath;
    CharacterDispatch& m_dispatch;
    HistoryStore& m_history;
    KeyInputSettings m_settings;
    QPointer<SendingPracticeWindow> m_practice;
    QPointer<KeyingPad> m_practicePad;
    QPointer<SoundDecodeWindow> m_decode;
    KeyedChat* m_chat;
    int m_openPads = 0;
};
