#pragma once

#include <QString>

// What the messages of the link ask of the window showing it. The link session decides what a
// message changes (its state, the log, the captions); the window renders that, selects the options
// the message selects (running their handlers when they were not selected before, as a user's
// selection does) and runs the blinks, whose end the session's state decides.
class LinkWindow {
  public:
    enum class Colour { Unchanged, Black, Red };

    virtual ~LinkWindow() = default;

    // ChatText shows the log, or the first line of a CW chat.
    virtual void showLog() = 0;
    virtual void showCwChatOpening() = 0;
    virtual void setTeacherLine(const QString& caption, Colour colour) = 0;
    virtual void setStudentLine(const QString& caption, Colour colour) = 0;

    // The peer said who it is: the role options and the send button can be used.
    virtual void peerJoined() = 0;
    // The peer hands this side a role: its option is selected and its layout applied.
    virtual void takeRole(bool setter) = 0;
    // The peer chose chat: chat mode and then the chat kind are selected.
    virtual void takeChat(bool cw) = 0;
    // A question arrived: the main button reads "スタート" and can be pressed.
    virtual void questionArrived() = 0;
    // The main button and the role options, while the peer takes a test or after it.
    virtual void setRoleControlsEnabled(bool enabled) = 0;
    // The peer's keyed CW run ended: roles, speeds and the 36 answer buttons come back.
    virtual void peerKeyingEnded() = 0;
    // The answerer's readiness told to a setter that has not started: a notice, one at a time.
    virtual void showReadyNotice() = 0;

    // The blinks of the role labels, until the session's state ends them.
    virtual void blinkWhileTesting() = 0;
    virtual void blinkWhileComposing() = 0;
};
