#pragma once

#include <QString>

// What both sides know of the link and of each other, shared by the handlers.
struct LinkState {
    QString myCallsign;
    QString peerCallsign;
    QString myMode;
    QString peerMode;
    QString mySpeed;
    QString peerSpeed;
    QString teacherStatus;
    QString studentStatus;
    QString receivedQuestion;
    // The CW chat transcript of this side; emptied on each new connection.
    QString cwChatBuffer;
    // The previous send has completed; the sender waits for it.
    bool sendDone = false;
};
