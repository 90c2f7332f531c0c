#pragma once

#include <QString>
#include <functional>

// Calls from the peer link into windows and playback that other subsystems provide. Each does
// nothing until its subsystem fills it in.
struct NetHooks {
    // Message type 5 arrived: the received-question notice, modal.
    std::function<void()> LoadQuestionCompleteForm = [] {};
    // Message type 6 "1" arrived: the notice that the setter has started, not modal.
    std::function<void()> infoStartingMakeAQuestion = [] {};
    // Plays a CW chat text as Morse: received (type 9) or the own line as it is sent.
    std::function<void(const QString& text, bool receiving)> PlayCwChatText = [](const QString&,
                                                                                 bool) {};
    // optionCw was selected, by the user or by message type 3 "1".
    std::function<void()> MainForm_optionCw_Click = [] {};
};
