#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

#include "core/kit/LinkState.h"
#include "core/link/NetLog.h"
#include "core/link/SendQueue.h"
#include "core/morse/BandConditions.h"
#include "core/morse/FreeSpeed.h"

class Clock;
class LinkSocket;
class LinkWindow;
class SessionChoices;
struct LessonState;
class PracticeSide;

// The link session: the one sender, the one receiver, the link state and the log. What a received
// message changes is decided here, without a widget; the window it asks to render it (and the
// practice side whose options a message selects) are interfaces, absent in a headless peer such
// as the practice partner or a fuzzer.
class QuillNetModule : public QObject {
    Q_OBJECT
  public:
    // now gives the date and time the log lines are stamped with.
    QuillNetModule(LinkState& link, LinkSocket& winsock1, Clock& clock,
                   std::function<QDateTime()> now, QObject* parent = nullptr);

    void setWindow(LinkWindow* window) { m_window = window; }
    void setPracticeSide(PracticeSide* practice) { m_practice = practice; }
    // The session's choices and lesson that messages depend on: whether chat mode is chosen, and
    // whether the main button waits for the setter. Without them (a headless peer), neither.
    void setSession(const SessionChoices* choices, const LessonState* lesson) {
        m_choices = choices;
        m_lesson = lesson;
    }

    // Queues a message: it goes out after those before it, once the previous send completed
    // (see SendQueue). Types 0 and 1 go out whatever the state, 2 to 9 only while connected
    // when their turn comes. Type 1 carries the text of the message box, logged as this side's
    // as it goes out.
    void SendNetMessage(int type, const QString& payload = {});
    // The socket's reports on a send: sendDone false while one is under way, true once it went.
    // Connected to the socket here, so every owner of a link keeps the flag the same way.
    void MainForm_Winsock1_SendProgress();
    void MainForm_Winsock1_SendComplete();
    // The messages still to go out.
    const SendQueue& sends() const { return m_sends; }
    // Tells the peer the chosen speed as type 4 and sets mySpeed to it; with a speed of its own,
    // the code of the nearest of the three and then the exact figures (see ExactSpeedPayload).
    // Nothing when no speed is chosen.
    void SendChosenSpeed();
    // One received message; waits inside run further messages.
    void DispatchNetMessage(const QByteArray& data);
    void AppendLogLine(const QString& line);

    LinkState& link() { return m_link; }
    const LinkState& link() const { return m_link; }
    NetLog& log() { return m_log; }
    // "(2026/12/07 20:41:59)": the local date and time as log lines carry it.
    QString Stamp() const;
    // ChatText shows the log (asked of the window).
    void ShowLog();

    // The link now; work that waits (a blink loop, a CW playback) ends or stays quiet once the
    // program ends or the link it began on has gone.
    quint64 linkSerial() const;
    bool linkGoneSince(quint64 serial) const;

    // The answerer's test is still running (the testing blink's end), and the setter still
    // composing (the composing blink's), as the blinks ask.
    bool testSettled() const;
    bool composingSettled(bool chatMode) const;
    // The composing blink ended with chat mode selected: both sides are in chat again.
    void takeChatAfterComposing(bool cw);

  signals:
    // A link was made or has ended (linkGoneSince changes its answer).
    void linkChanged();
    // Type 5: the question is stored and the main button reads "スタート".
    void questionReceived();
    // Type 6 "1" while the main button does not read "出題待機".
    void composingStarted();
    // Type 9: a CW chat text to be heard.
    void cwChatReceived(const QString& text);
    // Type 1, 7 and 8, once the state has taken them: for a peer that answers them (the
    // practice partner).
    void chatReceived(const QString& text);
    void answererStatusReceived(LinkStatus status);
    void chatStatusReceived(LinkStatus status);
    // A line the log gained that this side did not write itself (the peer's chat, arrivals and
    // departures), for screen readers.
    void lineLogged(const QString& line);
    // Type 4 from a peer of this program: the band conditions it asks for its questions.
    void bandRequested(const BandConditions& conditions);

  private:
    void write(int type, const QString& payload);
    void appendToLog(const QString& line, bool ownChat);
    void receiveCallsign(const QString& callsign, const QString& stamp);
    void receiveRole(const QString& payload);
    void receiveMode(const QString& payload);
    void receiveSpeed(const QString& payload);
    void receiveExactSpeed(const FreeSpeed& speed);
    void showPeerSpeed();
    void receiveQuestion(const QString& question);
    void receiveSetterStatus(const QString& payload);
    void receiveAnswererStatus(const QString& payload);
    void applyAnswererStatus(const QString& payload);
    void receiveChatStatus(const QString& payload);

    LinkState& m_link;
    LinkSocket& m_winsock1;
    Clock& m_clock;
    std::function<QDateTime()> m_now;
    LinkWindow* m_window = nullptr;
    PracticeSide* m_practice = nullptr;
    const SessionChoices* m_choices = nullptr;
    const LessonState* m_lesson = nullptr;
    NetLog m_log;
    SendQueue m_sends;
};
