#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "common/LabelBlink.h"
#include "common/WindowOpening.h"
#include "net/NetLog.h"
#include "net/NetWindow.h"

class LinkSocket;

// The message layer of the peer link: the one sender, the one receiver, the on-screen log and
// the role labels that the received messages change. What a message asks of other subsystems
// (a notice, a CW playback) goes out as a signal; a handler connected to it runs before the
// dispatcher goes on, so a modal notice holds it up as it should.
class QuillNetModule : public QObject {
    Q_OBJECT
  public:
    QuillNetModule(NetWindow& window, LinkSocket& winsock1, QObject* parent = nullptr);

    // Waits (events running) for the previous send to complete, but never long: a missing
    // completion must not hang the window. Types 0 and 1 go out whatever the state, 2 to 9
    // only while connected. Type 1 always sends the current text of SendMessageText.
    void SendNetMessage(int type, const QString& payload = {});
    // One received message; waits inside run further messages.
    void DispatchNetMessage(const QByteArray& data);
    void AppendLogLine(const QString& line);

    // ChatText shows the log.
    void ShowLog();
    NetLog& log() { return m_log; }
    // "(2026/12/07 20:41:59)": the local date and time as log lines carry it.
    QString Stamp() const;

    // The link now; work that waits (a blink loop, a CW playback) ends or stays quiet once the
    // program ends or the link it began on has gone.
    quint64 linkSerial() const;
    bool linkGoneSince(quint64 serial) const;

  signals:
    // Type 5: the question is stored and the main button reads "スタート".
    void questionReceived();
    // Type 6 "1" while the main button does not read "出題待機".
    void composingStarted();
    // Type 9: a CW chat text to be heard.
    void cwChatReceived(const QString& text);
    // A line the log gained that this side did not write itself (the peer's chat, arrivals and
    // departures), for screen readers.
    void lineLogged(const QString& line);

  private:
    void receiveCallsign(const QString& callsign, const QString& stamp);
    void receiveRole(const QString& payload);
    void receiveMode(const QString& payload);
    void receiveSpeed(const QString& payload);
    void receiveQuestion(const QString& question);
    void receiveSetterStatus(const QString& payload);
    void receiveAnswererStatus(const QString& payload);
    void receiveChatStatus(const QString& payload);

    void appendToLog(const QString& line, bool ownChat);
    void setRoleControls(bool enabled);
    void blinkWhileTesting();
    void composingBlink();
    void takeChatModeAfterComposing();

    NetWindow& m_w;
    LinkSocket& m_winsock1;
    NetLog m_log;
    Blinker m_testingBlink;
    Blinker m_composingBlink;
    OneAtATime m_readyNotice;
};
