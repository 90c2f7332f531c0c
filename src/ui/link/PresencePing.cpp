#include "ui/link/PresencePing.h"

#include <QLabel>

#include "core/kit/ClockTimer.h"
#include "core/kit/Cp932Codec.h"
#include "core/link/LinkSocket.h"
#include "core/link/PingSocket.h"
#include "core/link/QuillNetModule.h"
#include "ui/link/LinkUi.h"
#include "ui/link/NetConnection.h"

using namespace Qt::StringLiterals;

PresencePing::PresencePing(NetWindow& window, QuillNetModule& module, NetConnection& connection,
                           LinkSocket& winsock1, PingSocket& winsock2, QObject* parent)
    : QObject(parent),
      m_w(window),
      m_module(module),
      m_connection(connection),
      m_winsock1(winsock1),
      m_winsock2(winsock2),
      m_answerer(window.clock, winsock2) {
    connect(&m_w.retryPingTimer, &ClockTimer::timeout, this,
            &PresencePing::MainForm_RetryPingTimer_Timer);
    connect(&m_winsock2, &PingSocket::datagramArrival, this,
            &PresencePing::MainForm_Winsock2_DataArrival);
}

PingCounter::Next PresencePing::SendUDPPing() {
    m_receivePing.clear();
    m_winsock2.send(PresenceDatagram::Ping);
    return m_counter.pingSent();
}

void PresencePing::MainForm_RetryPingTimer_Timer() {
    const QString stamp = m_module.Stamp();
    switch (SendUDPPing()) {
        case PingCounter::Next::Keep:
            break;
        case PingCounter::Next::Shorten:
            m_w.retryPingTimer.setInterval(PingCounter::kRetryInterval);
            break;
        case PingCounter::Next::PeerLost:
            m_winsock1.close();
            m_winsock2.close();
            m_w.retryPingTimer.setEnabled(false);
            m_module.AppendLogLine(u"チャットルームを閉じました。"_s + stamp);
            m_w.ui.StatusLabel->setText(u"相手から応答がないので切断しました。"_s);
            m_connection.ApplyIdleLayout();
            break;
    }
}

void PresencePing::MainForm_Winsock2_DataArrival(const QByteArray& datagram) {
    // Nothing else is kept, nor waited on: any host can send anything here. A ping is answered
    // even while this side's own timer is off.
    if (m_answerer.take(datagram)) {
        m_receivePing = Cp932::Decode(datagram);
    } else if (datagram == PresenceDatagram::Answer) {
        m_counter.answered();
        m_w.retryPingTimer.setInterval(PingCounter::kNormalInterval);
        m_receivePing.clear();
    }
}
