#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "core/kit/LinkState.h"
#include "core/link/LinkSocket.h"
#include "core/link/LinkWindow.h"
#include "core/link/PracticeSide.h"
#include "core/link/QuillNetModule.h"

class Clock;
class QuestionSource;

// The practice partner's side of the exchange: what it sends back for what the learner's trainer
// sends, as the setter's program would. It reads the link through the trainer's own link session
// (the same decoding, state and vocabulary), which renders into this window without widgets; the
// replies are returned, and the caller sends them after their delays, one after the other.
class PartnerSession : public LinkWindow, public PracticeSide {
  public:
    struct Send {
        int delayMs;  // after the previous send (or now, for the first)
        int type;
        QString payload;
    };
    struct Reaction {
        QList<Send> sends;
        QStringList events;  // one line each, for the partner's output
    };

    PartnerSession(QString callsign, QuestionSource& questions, int composeMs, Clock& clock);

    // A type 4 payload sent after the role, asking the trainer for band conditions; empty: none.
    void setBandRequest(QString payload) { m_bandRequest = std::move(payload); }

    // The link stands: the partner says who it is.
    Reaction linkUp();
    // A message from the learner's trainer, as one receive carries it.
    Reaction received(const QByteArray& data);
    Reaction received(QChar type, const QString& payload);

    // Echo: in CW chat the partner sends one group at a time for the learner to key back, says
    // "R" and sends the next when it comes back right, "?" and the same again when not.
    void setEcho(bool echo) { m_echo = echo; }

    // The link and its session the partner sends through.
    LinkSocket& socket() { return m_socket; }
    QuillNetModule& module() { return m_module; }
    const QString& peerCallsign() const { return m_link.peerCallsign; }

    // The CW reply to a line the learner sent: the learner's callsign (the one in the line, else
    // the one the trainer gave), the partner's, and a short exchange; a line that ends the
    // contact gets a closing one.
    QString cwReply(const QString& line) const;

    // What the link session asks of this side's window and practice options.
    void showLog() override {}
    void showCwChatOpening() override {}
    void setTeacherLine(const QString&, Colour) override {}
    void setStudentLine(const QString&, Colour) override {}
    void peerJoined() override;
    void takeRole(bool setter) override;
    void takeChat(bool cw) override;
    void questionArrived() override {}
    void setRoleControlsEnabled(bool) override {}
    void peerKeyingEnded() override {}
    void showReadyNotice() override {}
    void blinkWhileTesting() override {}
    void blinkWhileComposing() override {}
    void selectReceiveMode(bool step) override;
    void selectSpeed(int) override {}
    void selectChatKind(bool) override {}
    int selectedSpeed() const override { return 0; }

  private:
    enum class Lesson { Idle, QuestionSent, Testing };

    void send(int delayMs, int type, const QString& payload);
    void event(const QString& line);
    void answererStatus(LinkStatus status);
    void chatStatus(LinkStatus status);
    void cwReceived(const QString& text);
    void cwLine(const QString& line);
    void sendEchoGroup(int delayMs);
    void echoLine(const QString& line);

    QString m_callsign;
    QuestionSource& m_questions;
    int m_composeMs;
    LinkState m_link;
    LinkSocket m_socket;
    QuillNetModule m_module;
    Reaction m_reaction;  // what the message being received calls for
    Lesson m_lesson = Lesson::Idle;
    bool m_cwChat = false;
    QString m_bandRequest;
    QString m_keyed;  // characters keyed one by one, until the learner's run of keys ends
    bool m_echo = false;
    QString m_echoGroup;  // the group the learner is to key back; empty before the first
    int m_echoRight = 0;
    int m_echoTries = 0;
};
