#include "net/PresencePing.h"

#include <QLabel>

#include "common/ClockTimer.h"
#include "common/Cp932Codec.h"
#include "common/MainFormUi.h"
#include "net/LinkSocket.h"
#include "net/NetConnection.h"
#include "net/PingSocket.h"
#include "net/QuillNetModule.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kPing = QByteArrayLiteral("quill");
const QByteArray kAnswer = QByteArrayLiteral("1");
constexpr int kAnswerDelayMs = 100;

}  // namespace

PresencePing::PresencePing(NetWindow& window, QuillNetModule& module, NetConnection& connection,
                           LinkSocket& winsock1, PingSocket& winsock2, QObject* parent)
    : QObject(parent),
      m_w(window),
      m_module(module),
      m_connection(connection),
      m_winsock1(winsock1),
      m_winsock2(winsock2),
      m_answerTimer(window.clock, kAnswerDelayMs) {
    connect(&m_answerTimer, &ClockTimer::timeout, this, &PresencePing::answerPing);
    connect(&m_w.retryPingTimer, &ClockTimer::timeout, this,
            &PresencePing::MainForm_RetryPingTimer_Timer);
    connect(&m_winsock2, &PingSocket::datagramArrival, this,
            &PresencePing::MainForm_Winsock2_DataArrival);
}

PingCounter::Next PresencePing::SendUDPPing() {
    m_receivePing.clear();
    m_winsock2.send(kPing);
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
    // Nothing else is kept, nor waited on: any host can send anything here.
    if (datagram != kPing && datagram != kAnswer) {
        return;
    }
    m_receivePing = Cp932::Decode(datagram);
    if (datagram == kPing) {
        // Answered even while this side's own timer is off. One answer at a time, on the clock
        // rather than in a wait: a flood of pings costs one answer every 100 ms and no more.
        if (!m_answerTimer.isEnabled()) {
            m_answerTimer.setEnabled(true);
        }
    } else {
        m_counter.answered();
        m_w.retryPingTimer.setInterval(PingCounter::kNormalInterval);
        m_receivePing.clear();
    }
}

void PresencePing::answerPing() {
    m_answerTimer.setEnabled(false);
    m_winsock2.send(kAnswer);
}
