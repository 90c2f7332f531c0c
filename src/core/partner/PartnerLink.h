#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>

#include "core/link/LinkSocket.h"
#include "core/link/NetPorts.h"
#include "core/link/PingAnswerer.h"
#include "core/link/PingSocket.h"
#include "core/partner/PartnerSession.h"

class Clock;

// The practice partner on the wire: one link to the learner's trainer, listening or connecting
// on the trainer's ports, the partner's replies sent after their delays on the clock, and the
// trainer's presence pings answered. Ends when the link does.
class PartnerLink : public QObject {
    Q_OBJECT
  public:
    PartnerLink(Clock& clock, PartnerSession& session, NetPorts ports, QObject* parent = nullptr);

    // Listening side (the trainer connects): the partner's UDP ports are the listener's.
    bool listen(const QHostAddress& address);
    // Connecting side (the trainer listens at host).
    void connectTo(const QString& host);

    // Work still on its way, and the open descriptors, for a test's virtual clock.
    bool hasPendingWork() const;
    QList<qintptr> descriptors() const { return m_link.descriptors(); }

  signals:
    // One line of what happened, for the partner's output.
    void happened(const QString& line);
    // Listening, so that whoever started the partner may connect now.
    void listening();
    // The link is over (closed by the trainer, lost or refused); carries why.
    void finished(const QString& why);

  private:
    void linkStood(const QHostAddress& peer, quint16 localUdp, quint16 remoteUdp);
    void react(const PartnerSession::Reaction& reaction);
    void sendNext();
    void end(const QString& why);

    Clock& m_clock;
    PartnerSession& m_session;
    NetPorts m_ports;
    LinkSocket& m_link;
    PingSocket m_ping;
    PingAnswerer m_pingAnswerer;
    QList<PartnerSession::Send> m_outbox;
    bool m_sending = false;
    bool m_ended = false;
    bool m_listening = false;
    bool m_linked = false;
    QString m_host;
};
