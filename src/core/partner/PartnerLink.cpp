#include "core/partner/PartnerLink.h"

#include "core/kit/Clock.h"

using namespace Qt::StringLiterals;

namespace {

// The least time between two messages, so that the trainer receives each on its own.
constexpr int kLeastGapMs = 20;

}  // namespace

PartnerLink::PartnerLink(Clock& clock, PartnerSession& session, NetPorts ports, QObject* parent)
    : QObject(parent),
      m_clock(clock),
      m_session(session),
      m_ports(ports),
      m_link(session.socket()),
      m_pingAnswerer(clock, m_ping) {
    // Sends go through the link session, whose queue lets each wait for the one before.
    connect(&m_link, &LinkSocket::connectionRequest, this, [this] {
        m_link.accept();
        linkStood(m_link.peerAddress(), m_ports.listenerUdp, m_ports.connectorUdp);
    });
    connect(&m_link, &LinkSocket::connected, this,
            [this] { linkStood(m_link.peerAddress(), m_ports.connectorUdp, m_ports.listenerUdp); });
    connect(&m_link, &LinkSocket::dataArrival, this,
            [this](const QByteArray& data) { react(m_session.received(data)); });
    connect(&m_link, &LinkSocket::peerClosed, this, [this] { end(u"closed by the trainer"_s); });
    connect(&m_link, &LinkSocket::overflowed, this, [this] { end(u"too much data"_s); });
    connect(&m_link, &LinkSocket::errorOccurred, this, [this](const QString& description) {
        if (m_linked) {
            end(description);
        } else if (m_host.isEmpty()) {
            end(u"cannot listen on TCP port %1: %2"_s.arg(m_ports.tcp).arg(description));
        } else {
            end(u"cannot connect to %1 port %2: %3"_s.arg(m_host)
                    .arg(m_ports.tcp)
                    .arg(description));
        }
    });
    // As a trainer answers: the exact ping from the peer, one answer pending at most.
    connect(&m_ping, &PingSocket::datagramArrival, &m_pingAnswerer, &PingAnswerer::take);
}

bool PartnerLink::listen(const QHostAddress& address) {
    m_link.listen(m_ports.tcp, address);
    m_listening = m_link.state() == LinkSocket::State::Listening;
    if (m_listening) {
        emit happened(u"listening on %1 port %2"_s.arg(address.toString()).arg(m_ports.tcp));
        emit listening();
    }
    return m_listening;
}

void PartnerLink::connectTo(const QString& host) {
    m_host = host;
    emit happened(u"connecting to %1 port %2"_s.arg(host).arg(m_ports.tcp));
    m_link.connectTo(host, m_ports.tcp);
}

bool PartnerLink::hasPendingWork() const {
    return m_link.hasPendingWork() || m_ping.hasPendingWork();
}

void PartnerLink::linkStood(const QHostAddress& peer, quint16 localUdp, quint16 remoteUdp) {
    QHostAddress host = peer;
    bool isIpv4 = false;
    const quint32 ipv4 = peer.toIPv4Address(&isIpv4);
    if (isIpv4) {
        host = QHostAddress(ipv4);
    }
    m_ping.bind(host.toString(), remoteUdp, localUdp);
    m_ping.acceptFrom(peer);
    m_linked = true;
    emit happened(u"connected to "_s + host.toString());
    react(m_session.linkUp());
}

void PartnerLink::react(const PartnerSession::Reaction& reaction) {
    for (const QString& line : reaction.events) {
        emit happened(line);
    }
    m_outbox.append(reaction.sends);
    if (!m_sending) {
        sendNext();
    }
}

void PartnerLink::sendNext() {
    if (m_outbox.isEmpty() || m_ended) {
        m_sending = false;
        return;
    }
    m_sending = true;
    const PartnerSession::Send next = m_outbox.takeFirst();
    m_clock.scheduleAt(m_clock.now() + qMax(next.delayMs, kLeastGapMs), [this, next] {
        if (m_ended) {
            return;
        }
        m_session.module().SendNetMessage(next.type, next.payload);
        sendNext();
    });
}

void PartnerLink::end(const QString& why) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_link.close();
    m_ping.close();
    emit happened(u"link over: "_s + why);
    emit finished(why);
}
