#pragma once

#include <QString>

// What each side is doing, as myMode and peerMode say it (and the role labels show it).
enum class LinkMode { Empty, Unchosen, Normal, Step, TextChat, CwChat };

// The words in the brackets of the role labels: teacherStatus and studentStatus.
enum class LinkStatus {
    Empty,
    // The setter's progress with a question.
    Composing,
    QuestionSent,
    SettingAborted,
    // The answerer's progress with a test.
    Ready,
    TestRunning,
    TestFinished,
    TestAborted,
    // Chat: typing, keying CW and hearing it.
    Typing,
    Sending,
    SendingEnded,
    Receiving,
    ReceivingEnded,
};

// The texts they are shown and announced as ("モード未選択", "問題作成中" ...; empty for Empty).
QString Text(LinkMode mode);
QString Text(LinkStatus status);

// What both sides know of the link and of each other.
struct LinkState {
    QString myCallsign;
    QString peerCallsign;
    LinkMode myMode = LinkMode::Empty;
    LinkMode peerMode = LinkMode::Empty;
    // Characters a minute, as the labels show it; 0: none chosen.
    int mySpeed = 0;
    int peerSpeed = 0;
    // A speed of its own ("20WPM", "25/4WPM"), told between two of this program; empty: the
    // figure above is the speed.
    QString myExactSpeed;
    QString peerExactSpeed;
    LinkStatus teacherStatus = LinkStatus::Empty;
    LinkStatus studentStatus = LinkStatus::Empty;
    QString receivedQuestion;
    // The CW chat transcript of this side; emptied on each new connection.
    QString cwChatBuffer;
    // The previous send has completed; the next queued message waits for it.
    bool sendDone = false;
    // No link stands, none is being made or waited for: the connect button takes a press. Kept
    // as the button changes, so that what decides by it never asks the button.
    bool linkIdle = true;
};

// A speed as the labels and the link state show it: "25", "45", "60"; empty for none.
QString SpeedText(int perMinute);
// The speed each side's labels show: the exact one when there is one.
QString MySpeedText(const LinkState& s);
QString PeerSpeedText(const LinkState& s);
