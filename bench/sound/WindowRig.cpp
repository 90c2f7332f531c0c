#include "WindowRig.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include "ThreadCpu.h"
#include "core/kit/LinkState.h"
#include "core/link/PingAnswerer.h"
#include "core/morse/MorseTable.h"
#include "support/TestContext.h"
#include "ui/lesson/LessonUi.h"

namespace {

constexpr int kWaitMs = 10000;

}  // namespace

LinkPeer::~LinkPeer() {
    m_stop = true;
    wait(3000);
}

void LinkPeer::run() {
    m_threadId = ThreadCpu::CurrentThreadId();
    QTcpServer server;
    QUdpSocket pings;
    // The window connects, so it pings the listener's port.
    if (!server.listen(QHostAddress::LocalHost, m_ports.tcp) ||
        !pings.bind(QHostAddress::LocalHost, m_ports.listenerUdp)) {
        return;
    }
    while (!m_stop && !server.waitForNewConnection(100)) {
    }
    QTcpSocket* socket = server.nextPendingConnection();
    if (socket == nullptr) {
        return;
    }
    socket->write("0JA9BEN");
    socket->waitForBytesWritten(1000);
    while (!m_stop) {
        socket->waitForReadyRead(100);
        socket->readAll();
        while (pings.hasPendingDatagrams()) {
            QHostAddress from;
            quint16 port = 0;
            QByteArray datagram(static_cast<int>(pings.pendingDatagramSize()), '\0');
            pings.readDatagram(datagram.data(), datagram.size(), &from, &port);
            if (datagram == PresenceDatagram::Ping) {
                pings.writeDatagram(PresenceDatagram::Answer, from, port);
            }
        }
    }
}

WindowRig::WindowRig()
    : m_ports(FreePorts()),
      m_peer(m_ports),
      m_form(AppContext{m_clock, m_sound, m_desktop, m_places, [] {}, m_ports,
                        QDir(m_currentDir.path()).filePath(QStringLiteral("history.sqlite"))}) {
    m_form.ui().CallsignText->setText(QStringLiteral("JA1BEN"));
    m_form.ui().ConnectIpText->setText(QStringLiteral("127.0.0.1"));
    m_form.ui().ToneText->setText(QString::number(kToneHz));
    m_form.waveDialog().WavQuarityHScroll->setValue(kWaveQuality);
    m_form.waveDialog().WavVolumeHScroll->setValue(kWaveVolume);
    m_form.show();
    m_peer.start();
}

WindowRig::~WindowRig() {
    m_sound.shutDown(200);
}

bool WindowRig::start(QString& error) {
    if (!WaitUntil(
            m_clock, [this] { return m_sound.isSoundOn(); }, kWaitMs)) {
        error = QStringLiteral("no sound server answered");
        return false;
    }
    m_form.ui().ConnectButton->click();
    if (!WaitUntil(
            m_clock, [this] { return m_form.link().peerCallsign == QStringLiteral("JA9BEN"); },
            kWaitMs)) {
        error = QStringLiteral("the link did not come up");
        return false;
    }
    Delay(m_clock, 200);
    // An answerer in Normal receive mode.
    m_form.ui().StudentOption->setChecked(true);
    m_form.ui().NormalMode_Option->setEnabled(true);
    m_form.ui().NormalMode_Option->setChecked(true);
    return true;
}

void WindowRig::apply(const LessonSettings& settings) {
    const MainFormUi& ui = m_form.ui();
    (settings.generator == SoundGenerator::Wave ? ui.mnuSoundWave : ui.mnuSoundBeep)->trigger();
    m_form.waveDialog().WavQuarityHScroll->setValue(settings.waveQuality);
    if (settings.free) {
        // As the free speed's dialog leaves it when accepted: the figures, then the option.
        m_form.practiceSettings().setFreeFigures(*settings.free);
        ui.SpeedFree_Option->setChecked(true);
    } else {
        QRadioButton* speed = settings.speed == 25   ? ui.Speed25_Option
                              : settings.speed == 45 ? ui.Speed45_Option
                                                     : ui.Speed60_Option;
        speed->setChecked(true);
    }
    ui.Speed_HScroll->setValue(settings.fineAdjust);
}

void WindowRig::playLesson(const QString& question) {
    const MainFormUi& ui = m_form.ui();
    m_form.link().receivedQuestion = question;
    ui.StudentOption->setChecked(true);
    ui.NormalMode_Option->setChecked(true);
    // As a question arriving leaves it: the main button in its start state.
    ShowMainButton(ui, m_form.lesson(), MainButton::Start);
    ui.StartButton_Command->setEnabled(true);
    ui.StartButton_Command->click();
}

QString WindowRig::wavePath(const QString& signName) {
    if (signName == u"AR") {
        return m_form.waveGenerator().FilePath(SymbolId::AR);
    }
    if (signName == u"BT") {
        return m_form.waveGenerator().FilePath(SymbolId::BT);
    }
    const std::optional<SymbolId> symbol = SymbolForAlphanumeric(signName.front());
    return symbol ? m_form.waveGenerator().FilePath(*symbol) : QString();
}
