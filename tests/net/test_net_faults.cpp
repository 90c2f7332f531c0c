// One main window against a peer in a process of its own that dies, freezes, half-closes,
// floods, talks garbage or says nothing, and against pings from a stranger. Whatever the peer
// does, the window notices what it must, says so, returns to idle, keeps what is local and goes
// on working.
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QUdpSocket>
#include <functional>
#include <memory>
#include <random>

#include "core/kit/ClockTimer.h"
#include "core/link/PingSocket.h"
#include "core/link/QuillNetModule.h"
#include "core/link/WireCodec.h"
#include "support/NetTestSupport.h"
#include "support/WindowScript.h"
#include "ui/link/PresencePing.h"

using namespace Qt::StringLiterals;

namespace {

// The fake desktop's date and time, as log lines carry it.
const QString kStamp = u"(2026/12/07 20:41:59)"_s;
const QString kPeerLeft = u"JA9ZZZさんから切断されました。"_s;
const QString kNoAnswer = u"相手から応答がないので切断しました。"_s;
const QString kTooMuch = u"相手から受信したデータが多すぎるため切断しました。"_s;
const QString kRoomClosed = u"チャットルームを閉じました。"_s + kStamp;

// Generous: a loaded machine or a sanitizer build starts a process slowly.
constexpr int kRealWaitMs = 30000;

// Whether a process is stopped by a signal, as the system shows it.
bool IsStopped(qint64 pid) {
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray line = stat.readAll();
    const qsizetype name = line.lastIndexOf(')');
    return name >= 0 && name + 2 < line.size() && (line[name + 2] == 'T' || line[name + 2] == 't');
}

// The window's open link descriptors; a listening one too unless connectedOnly.
QList<int> Descriptors(MainForm& form, bool connectedOnly) {
    QList<int> open;
    for (qintptr descriptor : form.peerLink().winsock1().descriptors()) {
        int listening = 0;
        socklen_t size = sizeof listening;
        const int fd = static_cast<int>(descriptor);
        if (!connectedOnly ||
            (::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) == 0 && !listening)) {
            open.append(fd);
        }
    }
    return open;
}

// Waits (real time, bounded, the window's events not running) until the system holds at least
// this many bytes for the window to read. Loopback goes on delivering after the sender's write
// has returned.
bool WaitHeld(MainForm& form, qsizetype bytes) {
    QDeadlineTimer limit(kRealWaitMs);
    while (!limit.hasExpired()) {
        qsizetype held = 0;
        for (int fd : Descriptors(form, false)) {
            int waiting = 0;
            if (::ioctl(fd, FIONREAD, &waiting) == 0) {
                held += waiting;
            }
        }
        if (held >= bytes) {
            return true;
        }
        QThread::msleep(1);
    }
    return false;
}

// The same for the end of a peer that died: its close is there for the window to see.
void WaitCloseHeld(MainForm& form) {
    QDeadlineTimer limit(kRealWaitMs);
    for (int fd : Descriptors(form, true)) {
        pollfd watched{fd, POLLIN | POLLRDHUP, 0};
        while (::poll(&watched, 1, 1) == 0 && !limit.hasExpired()) {
        }
    }
}

// The peer program (tests/net/fault_peer.cpp) and what it has reported. Virtual time stands
// still while a command of the test is under way in it, and while the window waits for its
// answer to a ping, so that no wait outruns the peer.
class FaultPeer {
  public:
    enum class Does { Listen, Connect };

    FaultPeer(VirtualClock& clock, MainForm& window, Does does, quint16 tcpPort, quint16 udpPort)
        : m_s(std::make_shared<State>()) {
        m_s->window = &window;
        std::weak_ptr<State> weak = m_s;
        clock.addBusyCheck([weak] {
            const auto s = weak.lock();
            return s && s->busy();
        });
        State* s = m_s.get();
        s->process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&s->process, &QProcess::readyReadStandardOutput, [s] { s->read(); });
        s->awaited = 1;  // "ready"
        s->process.start(QStringLiteral(QUILL_FAULT_PEER),
                         {does == Does::Listen ? u"listen"_s : u"connect"_s,
                          QString::number(tcpPort), QString::number(udpPort)});
        s->process.waitForStarted(kRealWaitMs);
    }
    ~FaultPeer() {
        QProcess& process = m_s->process;
        if (process.state() == QProcess::NotRunning) {
            return;
        }
        if (!m_s->frozen) {
            process.closeWriteChannel();  // it ends itself at the end of its input
            if (process.waitForFinished(kRealWaitMs)) {
                return;
            }
        }
        process.kill();
        process.waitForFinished(kRealWaitMs);
    }

    bool waitReady() {
        return waitReported([this] { return m_s->ready || !m_s->fatal.isEmpty(); }) &&
               m_s->fatal.isEmpty();
    }
    // The bytes go out in one write; the window reads them whenever it gets to them.
    void send(const QByteArray& bytes) { command("send " + bytes.toHex()); }
    // Returns once the system has taken the bytes; the window's events do not run meanwhile.
    bool sendAndWait(const QByteArray& bytes) {
        send(bytes);
        return waitReported([this] { return m_s->awaited == 0; });
    }
    // One write of bytes that no receive may hold; returns once the system has taken what it
    // takes at once.
    bool flood(qint64 bytes) {
        command("flood " + QByteArray::number(bytes));
        return waitReported([this] { return m_s->awaited == 0; });
    }
    void shutDownWriting() { command("shut"); }
    void answerPings(bool answer) {
        command(answer ? "pings 1" : "pings 0");
        m_s->answersPings = answer;
    }
    void kill() {
        m_s->process.kill();
        m_s->process.waitForFinished(kRealWaitMs);
        if (m_s->window) {
            WaitCloseHeld(*m_s->window);
        }
    }
    void freeze() {
        ::kill(static_cast<pid_t>(m_s->process.processId()), SIGSTOP);
        QDeadlineTimer limit(kRealWaitMs);
        while (!IsStopped(m_s->process.processId()) && !limit.hasExpired()) {
            QThread::msleep(1);
        }
        m_s->frozen = true;
    }
    void thaw() {
        m_s->frozen = false;
        ::kill(static_cast<pid_t>(m_s->process.processId()), SIGCONT);
    }

    bool waitReceived(const QByteArray& bytes) {
        return waitReported([this, bytes] { return m_s->received.contains(bytes); });
    }
    bool waitEnded() {
        return waitReported([this] { return m_s->ended; });
    }
    // Datagrams arrive in order from one sender: once the last of these shows, the ones
    // before it have shown too.
    bool waitDatagram(const QByteArray& datagram) {
        return waitReported([this, datagram] { return m_s->datagrams.contains(datagram); });
    }

    const QByteArray& received() const { return m_s->received; }
    const QList<QByteArray>& datagrams() const { return m_s->datagrams; }
    qint64 written() const { return m_s->written; }
    const QByteArray& endReason() const { return m_s->endReason; }

  private:
    struct State {
        QProcess process;
        QPointer<MainForm> window;
        int awaited = 0;
        bool ready = false;
        bool frozen = false;
        bool answersPings = true;
        bool ended = false;
        QByteArray fatal;
        QByteArray received;
        QList<QByteArray> datagrams;
        qint64 written = 0;
        QByteArray endReason;

        bool running() const { return process.state() != QProcess::NotRunning && !frozen; }
        bool pingDue() const {
            return window && answersPings && window->RetryPingTimer->isEnabled() &&
                   window->peerLink().ping().countRetry() > 0;
        }
        bool busy() const { return running() && (awaited > 0 || pingDue()); }

        void read() {
            while (process.canReadLine()) {
                const QByteArray line = process.readLine().trimmed();
                const qsizetype space = line.indexOf(' ');
                const QByteArray word = space < 0 ? line : line.left(space);
                const QByteArray rest = space < 0 ? QByteArray() : line.mid(space + 1);
                if (word == "ready") {
                    ready = true;
                    --awaited;
                } else if (word == "ok") {
                    --awaited;
                } else if (word == "rx") {
                    received += QByteArray::fromHex(rest);
                } else if (word == "udp") {
                    datagrams.append(QByteArray::fromHex(rest));
                } else if (word == "end") {
                    ended = true;
                    const qsizetype gap = rest.indexOf(' ');
                    written = rest.left(gap).toLongLong();
                    endReason = rest.mid(gap + 1);
                } else if (word == "fatal") {
                    fatal = rest;
                    awaited = 0;
                }
            }
        }
    };

    void command(const QByteArray& line) {
        if (m_s->process.state() != QProcess::Running) {
            return;
        }
        ++m_s->awaited;
        m_s->process.write(line + '\n');
    }
    // Real time, bounded; the window's events do not run meanwhile.
    bool waitReported(const std::function<bool()>& reported) {
        QDeadlineTimer limit(kRealWaitMs);
        while (!reported()) {
            if (limit.hasExpired() || m_s->process.state() == QProcess::NotRunning) {
                return reported();
            }
            m_s->process.waitForReadyRead(static_cast<int>(qMax<qint64>(limit.remainingTime(), 1)));
        }
        return true;
    }

    std::shared_ptr<State> m_s;
};

enum class Side { Listens, Connects };  // what the window does

// The window as JA1AAA, and the peer process as JA9ZZZ.
struct Rig {
    TestContext context;
    LinkWatch watch{context.clock};
    MainForm form{context.context()};
    std::unique_ptr<FaultPeer> peer;
    Side side;
    // When the link stood, in virtual time.
    qint64 linkedAt = -1;

    explicit Rig(Side windowSide) : side(windowSide) {
        watch.add(&form);
        SetIdentity(form, u"JA1AAA"_s);
        form.ui().ToneText->setText(u"750"_s);
    }
    VirtualClock& clock() { return context.clock; }
    void wait(int ms) { Delay(context.clock, ms); }
    void waitUntil(qint64 at) { wait(static_cast<int>(qMax<qint64>(at - clock().now(), 1))); }

    FaultPeer& startPeer(FaultPeer::Does does) {
        peer.reset();
        const NetPorts& ports = context.ports;
        // The peer binds the UDP port the window pings.
        const quint16 udp =
            does == FaultPeer::Does::Connect ? ports.connectorUdp : ports.listenerUdp;
        peer = std::make_unique<FaultPeer>(context.clock, form, does, ports.tcp, udp);
        return *peer;
    }

    // The link stands and each side knows the other's callsign. A listening window has had
    // its 30 s wait.
    bool link(const QByteArray& callsign = "0JA9ZZZ") {
        if (side == Side::Listens) {
            form.ui().ListenButton->click();
            if (!startPeer(FaultPeer::Does::Connect).waitReady()) {
                return Failed("the peer did not connect");
            }
            linkedAt = clock().now();
            wait(100);
        } else {
            if (!startPeer(FaultPeer::Does::Listen).waitReady()) {
                return Failed("the peer did not listen");
            }
            form.ui().ConnectButton->click();
            linkedAt = clock().now() + 2000;  // the first attempt is at the first tick
            wait(2100);
        }
        if (linkState() != LinkSocket::State::Connected) {
            return Failed("the window is not connected");
        }
        if (!callsign.isEmpty()) {
            peer->send(callsign);
            wait(100);
        }
        return peer->waitReceived("0JA1AAA") || Failed("the peer got no callsign");
    }
    static bool Failed(const char* why) {
        qWarning("link: %s", why);
        return false;
    }

    QString status() const { return form.ui().StatusLabel->text(); }
    QString log() { return form.peerLink().module().log().text(); }
    QString lastLogLine() { return log().split(u"\r\n"_s).constLast(); }
    LinkSocket::State linkState() { return form.peerLink().winsock1().state(); }

    // The bytes lie ready for the window, all of them, before it reads any: one receive.
    bool deliver(const QByteArray& bytes) {
        return peer->sendAndWait(bytes) && WaitHeld(form, bytes.size());
    }

    // A line typed and sent here: true when the log shows it.
    bool say(const QString& text) {
        form.ui().SendMessageText->setText(text);
        wait(50);
        form.ui().SendMessageButton->click();
        wait(50);
        return lastLogLine() == u"JA1AAA > "_s + text;
    }
};

// What of the link's controls is not as it is while no link stands; empty when all is.
QStringList NotIdle(MainForm& form) {
    const MainFormUi& ui = form.ui();
    QStringList wrong;
    const auto expect = [&wrong](bool holds, const QString& what) {
        if (!holds) {
            wrong.append(what);
        }
    };
    expect(ui.ListenButton->isEnabled(), u"ListenButton disabled"_s);
    expect(ui.ConnectButton->isEnabled(), u"ConnectButton disabled"_s);
    expect(!ui.CloseButton->isEnabled(), u"CloseButton enabled"_s);
    expect(!ui.CallsignText->isReadOnly() && !ui.ConnectIpText->isReadOnly(),
           u"address boxes locked"_s);
    expect(!form.ConnectTimer->isEnabled(), u"ConnectTimer running"_s);
    expect(!form.RetryPingTimer->isEnabled(), u"RetryPingTimer running"_s);
    expect(form.peerLink().winsock1().state() == LinkSocket::State::Closed, u"link not closed"_s);
    expect(!form.peerLink().winsock2().isBound(), u"ping socket bound"_s);
    expect(!form.peerLink().hasWorkInFlight(), u"link events left over"_s);
    return wrong;
}

// The same once a link has stood: nothing left to chat or choose, the role captions idle.
QStringList NotIdleAfterLink(MainForm& form) {
    const MainFormUi& ui = form.ui();
    QStringList wrong = NotIdle(form);
    const auto expect = [&wrong](bool holds, const QString& what) {
        if (!holds) {
            wrong.append(what);
        }
    };
    expect(!ui.SendMessageButton->isEnabled(), u"SendMessageButton enabled"_s);
    expect(!ui.TeacherOption->isEnabled() && !ui.StudentOption->isEnabled(), u"roles enabled"_s);
    expect(ui.TeacherLabel->text() == u"出題者:"_s, u"TeacherLabel: "_s + ui.TeacherLabel->text());
    expect(ui.StudentLabel->text() == u"解答者:"_s, u"StudentLabel: "_s + ui.StudentLabel->text());
    for (const QLabel* label : {ui.TeacherLabel, ui.StudentLabel}) {
        expect(label->palette().color(QPalette::WindowText) == QColor(0, 0, 0),
               label->objectName() + u" not black"_s);
    }
    return wrong;
}

// What the user typed and chose here, changed by nothing the peer did; empty when all is kept.
QStringList LocalLost(MainForm& form) {
    QStringList lost;
    if (form.ui().CallsignText->text() != u"JA1AAA"_s) {
        lost.append(u"callsign: "_s + form.ui().CallsignText->text());
    }
    if (form.ui().ConnectIpText->text() != u"127.0.0.1"_s) {
        lost.append(u"address: "_s + form.ui().ConnectIpText->text());
    }
    if (form.ui().ToneText->text() != u"750"_s) {
        lost.append(u"tone: "_s + form.ui().ToneText->text());
    }
    return lost;
}

// The window, idle again, still listens and stops when asked.
void ListensAndStopsAgain(Rig& r) {
    r.form.ui().ListenButton->click();
    QCOMPARE(r.linkState(), LinkSocket::State::Listening);
    QCOMPARE(r.status(), u"相手からの接続待ちです。"_s);
    r.form.ui().CloseButton->click();
    QCOMPARE(r.linkState(), LinkSocket::State::Closed);
    QCOMPARE(r.status(), u"相手からの接続待ちを停止しました。"_s);
}

// The window, idle again, takes a new peer and chats with it both ways.
void TakesANewPeer(Rig& r) {
    r.side = Side::Listens;
    QVERIFY(r.link("0JA8YYY"));
    QCOMPARE(r.form.link().peerCallsign, u"JA8YYY"_s);
    r.peer->send("1again");
    r.wait(100);
    QCOMPARE(r.lastLogLine(), u"JA8YYY > again"_s);
    QVERIFY(r.say(u"welcome back"_s));
    QVERIFY(r.peer->waitReceived("1welcome back"));
}

// Lines that show a character no reader can see (or that would break the line) are faults.
QString FirstInvisible(const QString& line) {
    for (const QChar character : line) {
        const char16_t code = character.unicode();
        if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0) || code == 0x2028 ||
            code == 0x2029) {
            return u"U+%1 in %2"_s.arg(int(code), 4, 16, QChar(u'0')).arg(line);
        }
    }
    return {};
}

}  // namespace

Q_DECLARE_METATYPE(Side)

class NetFaultsTest : public QObject {
    Q_OBJECT

  private slots:
    void peerKilled_data() {
        QTest::addColumn<Side>("side");
        QTest::addColumn<QByteArray>("setUp");      // said and settled first
        QTest::addColumn<QByteArray>("lastWords");  // the peer's last message before it dies
        QTest::addColumn<int>("killAfterMs");       // after that, in virtual time
        QTest::addColumn<bool>("redAtKill");        // a blink in its red phase then
        QTest::addColumn<QString>("lastLine");      // the log line the last words leave

        const QByteArray none;
        QTest::newRow("listening, quiet link")
            << Side::Listens << none << none << 1000 << false << QString();
        QTest::newRow("connecting, quiet link")
            << Side::Connects << none << none << 1000 << false << QString();
        QTest::newRow("connecting, right after a chat line")
            << Side::Connects << none << QByteArray("1bye") << 0 << false << u"JA9ZZZ > bye"_s;
        // The idle caption must not stay red.
        QTest::newRow("listening, in the test blink")
            << Side::Listens << none << QByteArray("72") << 2200 << true << QString();
        QTest::newRow("connecting, in the test blink")
            << Side::Connects << none << QByteArray("72") << 2200 << true << QString();
        // The window the answerer first: in chat mode that blink does not run.
        QTest::newRow("connecting, in the composing blink")
            << Side::Connects << QByteArray("2S") << QByteArray("61") << 200 << true << QString();
        QTest::newRow("listening, in the test blink's dark phase")
            << Side::Listens << none << QByteArray("72") << 1200 << false << QString();
    }
    void peerKilled() {
        QFETCH(Side, side);
        QFETCH(QByteArray, setUp);
        QFETCH(QByteArray, lastWords);
        QFETCH(int, killAfterMs);
        QFETCH(bool, redAtKill);
        QFETCH(QString, lastLine);
        Rig r(side);
        QVERIFY(r.link());
        QVERIFY(r.say(u"before"_s));
        if (!setUp.isEmpty()) {
            r.peer->send(setUp);
            r.wait(500);
        }
        VirtualClock& clock = r.clock();
        if (!lastWords.isEmpty()) {
            r.peer->send(lastWords);
        }
        bool wasRed = false;
        clock.scheduleAt(clock.now() + killAfterMs, [&r, &wasRed] {
            for (const QLabel* label : {r.form.ui().TeacherLabel, r.form.ui().StudentLabel}) {
                wasRed |= label->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
            }
            r.peer->kill();
        });
        r.wait(killAfterMs + 10000);

        QCOMPARE(r.status(), kPeerLeft);
        const QString log = r.log();
        QVERIFY2(log.endsWith(u"\r\n\r\nJA1AAAさんが退室しました。"_s + kStamp +
                              u"\r\nJA9ZZZさんが退室しました。"_s + kStamp),
                 qPrintable(log));
        QVERIFY(log.contains(u"\r\nJA1AAA > before\r\n"_s));
        if (!lastLine.isEmpty()) {
            QVERIFY2(log.contains(u"\r\n"_s + lastLine + u"\r\n"_s), qPrintable(log));
        }
        QCOMPARE(wasRed, redAtKill);
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        QCOMPARE(LocalLost(r.form).join(u"; "_s), QString());

        // Nothing of the dead link comes back later: no blink repaints, no ping gives up.
        r.wait(200000);
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        QCOMPARE(r.status(), kPeerLeft);
        TakesANewPeer(r);
    }

    // The peer dies while CW sounds here: the sound runs out, and what it shows at its end
    // does not cover the idle captions.
    void peerKilledWhileCwSounds_data() {
        QTest::addColumn<QString>("sounding");
        QTest::newRow("a received line") << u"received"_s;
        QTest::newRow("a line sent") << u"sent"_s;
        QTest::newRow("keyed characters") << u"keyed"_s;
    }
    void peerKilledWhileCwSounds() {
        QFETCH(QString, sounding);
        Rig r(Side::Connects);
        QVERIFY(r.link());
        const MainFormUi& ui = r.form.ui();
        ui.optionCw->click();
        r.wait(300);
        QVERIFY(r.peer->waitReceived("31"));
        VirtualClock& clock = r.clock();
        bool soundingAtKill = false;
        clock.scheduleAt(clock.now() + 800, [&r, &ui, &soundingAtKill] {
            soundingAtKill = !ui.toneTestButton->isEnabled();  // off while CW sounds
            r.peer->kill();
        });
        bool quietSoon = false;  // a received line ends with its link, after the character
        clock.scheduleAt(clock.now() + 5000, [&] { quietSoon = ui.toneTestButton->isEnabled(); });
        if (sounding == u"received"_s) {
            r.peer->send("9PARIS PARIS");
        } else if (sounding == u"sent"_s) {
            ui.SendMessageText->setText(u"PARIS PARIS"_s);
            ui.SendMessageButton->click();
        } else {
            for (const QChar key : u"PARIS"_s) {
                ui.answerButton(key)->setEnabled(true);
            }
            for (int i = 1; i < 5; ++i) {
                const QChar key = u"PARIS"_s[i];
                clock.scheduleAt(clock.now() + 100 * i,
                                 [&ui, key] { ui.answerButton(key)->click(); });
            }
            ui.answerButton(u'P')->click();
        }
        r.wait(20000);
        QVERIFY(soundingAtKill);
        QCOMPARE(quietSoon, sounding == u"received"_s);
        QCOMPARE(r.status(), kPeerLeft);
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        QVERIFY(ui.toneTestButton->isEnabled());
        QVERIFY(ui.Speed25_Option->isEnabled());
        QCOMPARE(LocalLost(r.form).join(u"; "_s), QString());
        TakesANewPeer(r);
    }

    // The close arrives inside the listening window's 30 s wait; its pings never start.
    void peerKilledDuringTheListenersWait() {
        Rig r(Side::Listens);
        VirtualClock& clock = r.clock();
        clock.scheduleAt(clock.now() + 5000, [&r] { r.peer->kill(); });
        r.form.ui().ListenButton->click();
        QVERIFY(r.startPeer(FaultPeer::Does::Connect).waitReady());
        r.wait(5100);
        QCOMPARE(r.status(), u"さんから切断されました。"_s);  // it never said its callsign
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        r.wait(200000);
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        QCOMPARE(r.status(), u"さんから切断されました。"_s);
    }

    // A frozen peer keeps its TCP link open but answers no ping: the sixth unanswered one ends
    // the link. Times from the moment the link stood; the listening side pings from 30 s on.
    void peerFrozen_data() {
        QTest::addColumn<Side>("side");
        QTest::addColumn<int>("freezeAtMs");  // -1: never
        QTest::addColumn<int>("lostAtMs");    // -1: never
        QTest::newRow("connecting, frozen at once") << Side::Connects << 0 << 160000;
        QTest::newRow("listening, frozen at once") << Side::Listens << 0 << 190000;
        QTest::newRow("connecting, frozen after two answers") << Side::Connects << 130000 << 280000;
        QTest::newRow("listening, frozen after one answer") << Side::Listens << 100000 << 250000;
        QTest::newRow("connecting, never frozen") << Side::Connects << -1 << -1;
        QTest::newRow("listening, never frozen") << Side::Listens << -1 << -1;
    }
    void peerFrozen() {
        QFETCH(Side, side);
        QFETCH(int, freezeAtMs);
        QFETCH(int, lostAtMs);
        Rig r(side);
        QVERIFY(r.link());
        QVERIFY(r.say(u"before"_s));
        const qint64 at = r.linkedAt;
        VirtualClock& clock = r.clock();
        if (freezeAtMs == 0) {
            r.peer->freeze();
        } else if (freezeAtMs > 0) {
            clock.scheduleAt(at + freezeAtMs, [&r] {
                // Every ping so far was answered.
                QCOMPARE(r.form.peerLink().ping().countRetry(), qint16(0));
                r.peer->freeze();
            });
        }
        if (lostAtMs < 0) {
            r.waitUntil(at + 400000);
            QCOMPARE(r.linkState(), LinkSocket::State::Connected);
            QCOMPARE(r.form.peerLink().ping().countRetry(), qint16(0));
            QCOMPARE(r.form.RetryPingTimer->interval(), 60000);
            QVERIFY(r.say(u"still here"_s));
            return;
        }
        r.waitUntil(at + lostAtMs - 5000);
        QCOMPARE(r.linkState(), LinkSocket::State::Connected);
        QCOMPARE(r.form.peerLink().ping().countRetry(), qint16(5));
        // The window works on meanwhile; the frozen peer's system takes the line.
        QVERIFY(r.say(u"anyone there?"_s));
        r.waitUntil(at + lostAtMs + 5000);

        QCOMPARE(r.status(), kNoAnswer);
        QVERIFY2(r.log().endsWith(u"\r\n"_s + kRoomClosed), qPrintable(r.log()));
        QVERIFY(r.log().contains(u"\r\nJA1AAA > before\r\n"_s));
        QVERIFY(r.log().contains(u"\r\nJA1AAA > anyone there?\r\n"_s));
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        QCOMPARE(LocalLost(r.form).join(u"; "_s), QString());
        // Thawed, the peer reads what it was sent and finds the link closed.
        r.peer->thaw();
        QVERIFY(r.peer->waitEnded());
        QVERIFY(r.peer->received().contains("1anyone there?"));
        ListensAndStopsAgain(r);
    }

    // The peer shuts its sending down and goes on reading: the link is over for the window,
    // which closes its side too rather than leave the link half open.
    void peerHalfCloses_data() {
        QTest::addColumn<Side>("side");
        QTest::addColumn<QByteArray>("lastWords");
        QTest::newRow("listening") << Side::Listens << QByteArray();
        QTest::newRow("connecting") << Side::Connects << QByteArray();
        QTest::newRow("listening, a line just before") << Side::Listens << QByteArray("1bye");
        QTest::newRow("connecting, a line just before") << Side::Connects << QByteArray("1bye");
    }
    void peerHalfCloses() {
        QFETCH(Side, side);
        QFETCH(QByteArray, lastWords);
        Rig r(side);
        QVERIFY(r.link());
        QVERIFY(r.say(u"before"_s));
        if (!lastWords.isEmpty()) {
            r.peer->send(lastWords);
        }
        r.peer->shutDownWriting();
        r.wait(500);

        QCOMPARE(r.status(), kPeerLeft);
        QVERIFY2(r.log().endsWith(u"JA1AAAさんが退室しました。"_s + kStamp +
                                  u"\r\nJA9ZZZさんが退室しました。"_s + kStamp),
                 qPrintable(r.log()));
        if (!lastWords.isEmpty()) {
            QVERIFY2(r.log().contains(u"\r\nJA9ZZZ > bye\r\n"_s), qPrintable(r.log()));
        }
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        QCOMPARE(LocalLost(r.form).join(u"; "_s), QString());
        QVERIFY(r.peer->waitEnded());
        QCOMPARE(r.peer->endReason(), QByteArray("closed"));
        ListensAndStopsAgain(r);
    }

    void connectionRefused_data() {
        QTest::addColumn<int>("attempts");  // before anyone listens
        QTest::newRow("once") << 1;
        QTest::newRow("three times") << 3;
    }
    void connectionRefused() {
        QFETCH(int, attempts);
        Rig r(Side::Connects);
        // What the system says to anyone who knocks there.
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, r.context.ports.tcp);
        QVERIFY(!probe.waitForConnected(kRealWaitMs));
        QCOMPARE(probe.error(), QAbstractSocket::ConnectionRefusedError);
        const QString teacherLabel = r.form.ui().TeacherLabel->text();
        const QString studentLabel = r.form.ui().StudentLabel->text();
        for (int i = 0; i < attempts; ++i) {
            QVERIFY(r.form.ui().ConnectButton->isEnabled());
            r.form.ui().ConnectButton->click();
            r.wait(2100);
            QCOMPARE(r.status(), probe.errorString());
            QCOMPARE(NotIdle(r.form).join(u"; "_s), QString());
            QCOMPARE(r.form.ui().TeacherLabel->text(), teacherLabel);
            QCOMPARE(r.form.ui().StudentLabel->text(), studentLabel);
            QCOMPARE(LocalLost(r.form).join(u"; "_s), QString());
            r.wait(10000);  // no attempt of its own follows
            QCOMPARE(r.linkState(), LinkSocket::State::Closed);
        }
        // Once someone listens there, the same button links.
        QVERIFY(r.link());
        QCOMPARE(r.status(), u"127.0.0.1に接続しました。"_s);
        QCOMPARE(r.form.link().peerCallsign, u"JA9ZZZ"_s);
        QVERIFY(r.say(u"hello"_s));
        QVERIFY(r.peer->waitReceived("1hello"));
    }

    // More than one receive may hold: the window cuts the link instead of taking it all in.
    void flood_data() {
        QTest::addColumn<Side>("side");
        QTest::newRow("listening") << Side::Listens;
        QTest::newRow("connecting") << Side::Connects;
    }
    void flood() {
        QFETCH(Side, side);
        constexpr qint64 kFlood = 10 * 1024 * 1024;
        Rig r(side);
        QVERIFY(r.link());
        QVERIFY(r.say(u"before"_s));
        QVERIFY(r.peer->flood(kFlood));
        // The flood waits for the window in bulk: its first receive is more than one may hold.
        QVERIFY(WaitHeld(r.form, WireCodec::kReceiveCap + 1));
        r.wait(500);

        QCOMPARE(r.status(), kTooMuch);
        QVERIFY2(r.log().endsWith(u"\r\n"_s + kRoomClosed), qPrintable(r.log()));
        QVERIFY(r.log().contains(u"\r\nJA1AAA > before\r\n"_s));
        QVERIFY(r.form.ui().ChatText->toPlainText().size() < 1000);  // none of the flood shows
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        QCOMPARE(LocalLost(r.form).join(u"; "_s), QString());
        QVERIFY(r.peer->waitEnded());
        QVERIFY2(r.peer->written() < kFlood, qPrintable(QString::number(r.peer->written())));
        TakesANewPeer(r);
    }

    // One receive of exactly the cap is a message; one byte more cuts the link.
    void receiveAtTheCap_data() {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("cut");
        QTest::newRow("at the cap") << WireCodec::kReceiveCap << false;
        QTest::newRow("one byte over") << WireCodec::kReceiveCap + 1 << true;
    }
    void receiveAtTheCap() {
        QFETCH(qsizetype, size);
        QFETCH(bool, cut);
        Rig r(Side::Listens);
        QVERIFY(r.link());
        QByteArray line(size, '\xFF');
        line[0] = '1';
        QVERIFY(r.deliver(line));
        r.wait(500);
        if (cut) {
            QCOMPARE(r.status(), kTooMuch);
            QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
            return;
        }
        QCOMPARE(r.linkState(), LinkSocket::State::Connected);
        QCOMPARE(r.lastLogLine(), u"JA9ZZZ > "_s + QString(size - 1, QChar::ReplacementCharacter));
        QVERIFY(r.say(u"after"_s));
    }

    // Bytes that form no character show as U+FFFD, control characters as their pictures;
    // the link stays up.
    void undecodableBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("lead byte at the end") << QByteArray("1ab\x82") << u"ab\uFFFD"_s;
        QTest::newRow("lead byte before a line feed")
            << QByteArray("1\x82\nx") << u"\uFFFD\u240Ax"_s;
        QTest::newRow("lead byte before DEL") << QByteArray("1\x81\x7F") << u"\uFFFD\u2421"_s;
        QTest::newRow("bytes no character begins with")
            << QByteArray("1\x80\xA0\xFD\xFE\xFF") << QString(5, QChar::ReplacementCharacter);
        QTest::newRow("unassigned lead byte") << QByteArray("1\x85\x40") << u"\uFFFD@"_s;
        QTest::newRow("a character between bad bytes")
            << QByteArray("1\xFF\x82\xA0\xFF") << u"\uFFFDあ\uFFFD"_s;
        QTest::newRow("half-width katakana") << QByteArray("1\xB1\xB2") << u"ｱｲ"_s;
        QTest::newRow("escape sequence") << QByteArray("1\x1B[31mred") << u"\u241B[31mred"_s;
        QTest::newRow("NUL and CR LF") << QByteArray("1a\0\r\nb", 6) << u"a\u2400\u240D\u240Ab"_s;
    }
    void undecodableBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        Rig r(Side::Connects);
        QVERIFY(r.link());
        QVERIFY(r.deliver(bytes));
        r.wait(100);
        QCOMPARE(r.lastLogLine(), u"JA9ZZZ > "_s + shown);
        QCOMPARE(r.form.ui().ChatText->toPlainText().split(u'\n').constLast(),
                 u"JA9ZZZ > "_s + shown);
        QCOMPARE(r.linkState(), LinkSocket::State::Connected);
        QVERIFY(r.say(u"after"_s));
    }

    // Random receives, each on its own: no crash, no hang, the link stays up, every log line
    // readable, and the window still chats afterwards.
    void randomReceives_data() {
        QTest::addColumn<Side>("side");
        QTest::addColumn<unsigned>("seed");
        QTest::newRow("listening, seed 1") << Side::Listens << 1u;
        QTest::newRow("listening, seed 2") << Side::Listens << 2u;
        QTest::newRow("connecting, seed 3") << Side::Connects << 3u;
        QTest::newRow("connecting, seed 20261207") << Side::Connects << 20261207u;
    }
    void randomReceives() {
        QFETCH(Side, side);
        QFETCH(unsigned, seed);
        Rig r(side);
        QVERIFY(r.link());
        // A question among the garbage opens its notice; the user dismisses it.
        const AlwaysPress dismiss(r.clock(), u"LoadQuestionCompleteForm"_s, u"Command1"_s);
        std::mt19937 random(seed);
        for (int i = 0; i < 150; ++i) {
            const qsizetype size = random() % 20 == 0 ? 1 + random() % 8000 : 1 + random() % 300;
            QByteArray bytes(size, '\0');
            for (char& byte : bytes) {
                byte = static_cast<char>(random() & 0xFF);
            }
            const bool chatLine = random() % 2 == 0;
            if (chatLine) {
                bytes[0] = '1';
            }
            QVERIFY(r.deliver(bytes));
            r.wait(20);
            QCOMPARE(r.linkState(), LinkSocket::State::Connected);
            const QStringList lines = r.log().split(u"\r\n"_s);
            QVERIFY(lines.size() <= 14);
            for (const QString& line : lines) {
                QCOMPARE(FirstInvisible(line), QString());
            }
            if (!chatLine) {
                continue;
            }
            const QString prefix = r.form.link().peerCallsign + u" > "_s;
            const QString line = lines.constLast();
            QVERIFY2(line.startsWith(prefix), qPrintable(line));
            const qsizetype shown = line.size() - prefix.size();
            // At most one character a byte, at least one every two.
            QVERIFY(shown <= size - 1 && shown >= (size - 1) / 2);
            const bool neverValid = bytes.mid(1).contains('\xFD') ||
                                    bytes.mid(1).contains('\xFE') || bytes.mid(1).contains('\xFF');
            if (neverValid) {
                QVERIFY(line.contains(QChar::ReplacementCharacter));
            }
        }
        QCOMPARE(LocalLost(r.form).join(u"; "_s), QString());
        // Back to text chat, as the peer would say: the window chats on.
        QVERIFY(r.deliver("30"));
        r.wait(100);
        QVERIFY(r.say(u"still here"_s));
        QVERIFY(r.peer->waitReceived("1still here"));
    }

    // TCP keeps no message bounds: what one receive brings is one message (single-character
    // messages excepted, which are told apart), however the peer's writes fell.
    void splitAndJoinedWrites_data() {
        QTest::addColumn<QList<QByteArray>>("writes");  // each one receive
        QTest::addColumn<QStringList>("added");         // the log lines they add
        QTest::addColumn<QString>("callsign");

        const QString peer = u"JA9ZZZ"_s;
        QTest::newRow("a line in two writes")
            << QList<QByteArray>{"1ab", "c"} << QStringList{u"JA9ZZZ > ab"_s} << peer;
        QTest::newRow("a line in two writes, the second like a line")
            << QList<QByteArray>{"1ab", "1c"} << QStringList{u"JA9ZZZ > ab"_s, u"JA9ZZZ > c"_s}
            << peer;
        QTest::newRow("two lines in one write")
            << QList<QByteArray>{"1ab1cd"} << QStringList{u"JA9ZZZ > ab1cd"_s} << peer;
        QTest::newRow("a character cut in two")
            << QList<QByteArray>{"1\x82", "\xA0z"} << QStringList{u"JA9ZZZ > \uFFFD"_s} << peer;
        QTest::newRow("statuses joined to a line")
            << QList<QByteArray>{"80851hi"} << QStringList{u"JA9ZZZ > hi"_s} << peer;
        QTest::newRow("a callsign in two writes")
            << QList<QByteArray>{"0JA8", "YYY"}
            << QStringList{u"JA8さんが入室しました。"_s + kStamp, QString()} << u"JA8"_s;
        QTest::newRow("a callsign joined to a line")
            << QList<QByteArray>{"0JA8YYY1hi"}
            << QStringList{u"JA8YYY1hiさんが入室しました。"_s + kStamp, QString()}
            << u"JA8YYY1hi"_s;
        QTest::newRow("a digit alone, then another")
            << QList<QByteArray>{"1", "1"} << QStringList{u"JA9ZZZ > "_s, u"JA9ZZZ > "_s} << peer;
        QTest::newRow("nothing but a non-digit")
            << QList<QByteArray>{"x", "\xFF"} << QStringList() << peer;
    }
    void splitAndJoinedWrites() {
        QFETCH(QList<QByteArray>, writes);
        QFETCH(QStringList, added);
        QFETCH(QString, callsign);
        Rig r(Side::Listens);
        QVERIFY(r.link());
        const QStringList before = r.log().split(u"\r\n"_s);
        for (const QByteArray& bytes : writes) {
            QVERIFY(r.deliver(bytes));
            r.wait(100);
        }
        const QStringList after = r.log().split(u"\r\n"_s);
        QCOMPARE(after.mid(before.size()), added);
        QCOMPARE(r.form.link().peerCallsign, callsign);
        QCOMPARE(r.linkState(), LinkSocket::State::Connected);
        QVERIFY(r.say(u"after"_s));
    }

    // A test start and stop in one write both act; written apart, each acts on its own.
    void singleCharacterMessagesJoinedOrApart_data() {
        QTest::addColumn<QList<QByteArray>>("writes");
        QTest::newRow("joined") << QList<QByteArray>{"7274"};
        QTest::newRow("apart") << QList<QByteArray>{"72", "74"};
        QTest::newRow("three joined, a line behind") << QList<QByteArray>{"7262741ok"};
    }
    void singleCharacterMessagesJoinedOrApart() {
        QFETCH(QList<QByteArray>, writes);
        Rig r(Side::Connects);
        QVERIFY(r.link());
        for (const QByteArray& bytes : writes) {
            QVERIFY(r.deliver(bytes));
            r.wait(100);
        }
        r.wait(3000);
        QCOMPARE(Text(r.form.link().studentStatus), u"受験中止"_s);
        QCOMPARE(r.form.ui().StudentLabel->text(), u"解答者:JA9ZZZ[受験中止]"_s);
        QCOMPARE(r.linkState(), LinkSocket::State::Connected);
        if (writes.constLast().endsWith("1ok")) {
            QCOMPARE(r.lastLogLine(), u"JA9ZZZ > ok"_s);
        }
    }

    // A peer that links and never says a word: the window takes it, greets it and waits,
    // still working; the user may close, or the pings give up.
    void silentPeer_data() {
        QTest::addColumn<bool>("userCloses");
        QTest::newRow("the user closes") << true;
        QTest::newRow("left to the pings") << false;
    }
    void silentPeer() {
        QFETCH(bool, userCloses);
        Rig r(Side::Listens);
        r.form.ui().ListenButton->click();
        QVERIFY(r.startPeer(FaultPeer::Does::Connect).waitReady());
        r.peer->answerPings(false);
        const qint64 at = r.clock().now();
        r.wait(100);
        QCOMPARE(r.status(), u"接続を受付けました。"_s);
        QVERIFY(r.form.link().peerCallsign.isEmpty());
        QVERIFY(r.peer->waitReceived("0JA1AAA"));
        QVERIFY(r.log().startsWith(u"JA1AAAさんが入室しました。"_s + kStamp));
        QVERIFY(r.form.ui().ChatMode_Option->isChecked());
        QVERIFY(r.say(u"hello?"_s));
        QVERIFY(r.peer->waitReceived("1hello?"));
        QVERIFY(r.form.ui().CloseButton->isEnabled());
        if (userCloses) {
            r.wait(20000);
            r.form.ui().CloseButton->click();
            QCOMPARE(r.status(), u"さんから切断しました。"_s);
        } else {
            r.waitUntil(at + 185000);
            QCOMPARE(r.linkState(), LinkSocket::State::Connected);
            r.waitUntil(at + 195000);
            QCOMPARE(r.status(), kNoAnswer);
        }
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
        QCOMPARE(LocalLost(r.form).join(u"; "_s), QString());
        QVERIFY(r.peer->waitEnded());
        ListensAndStopsAgain(r);
    }

    // Only the peer's host is answered, and only its answers count.
    void pingsFromAStranger_data() {
        QTest::addColumn<Side>("side");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("taken");
        QTest::newRow("stranger's ping")
            << Side::Connects << u"127.0.0.2"_s << QByteArray("quill") << false;
        QTest::newRow("peer host's ping")
            << Side::Connects << u"127.0.0.1"_s << QByteArray("quill") << true;
        QTest::newRow("stranger's ping, listening")
            << Side::Listens << u"127.0.0.2"_s << QByteArray("quill") << false;
        QTest::newRow("stranger's answers")
            << Side::Connects << u"127.0.0.2"_s << QByteArray("1") << false;
        QTest::newRow("peer host's answers")
            << Side::Connects << u"127.0.0.1"_s << QByteArray("1") << true;
        QTest::newRow("stranger's answers, listening")
            << Side::Listens << u"127.0.0.2"_s << QByteArray("1") << false;
    }
    void pingsFromAStranger() {
        QFETCH(Side, side);
        QFETCH(QString, from);
        QFETCH(QByteArray, datagram);
        QFETCH(bool, taken);
        // Made first: the rig's clock holds actions that use it.
        QUdpSocket stranger;
        Rig r(side);
        if (!stranger.bind(QHostAddress(from), 0)) {
            QSKIP("no second loopback address to send from");
        }
        r.watch.add(&stranger);
        QVERIFY(r.link());
        r.peer->answerPings(false);
        const quint16 windowPort =
            side == Side::Listens ? r.context.ports.listenerUdp : r.context.ports.connectorUdp;
        const qint64 at = r.linkedAt;
        VirtualClock& clock = r.clock();
        if (datagram == "quill") {
            stranger.writeDatagram(datagram, QHostAddress::LocalHost, windowPort);
            r.wait(1000);
            // The window's first own ping goes to the peer behind any answer it gave.
            r.waitUntil(at + (side == Side::Listens ? 95000 : 65000));
            QVERIFY(r.peer->waitDatagram("quill"));
            QCOMPARE(r.peer->datagrams().constFirst() == "1", taken);
            QVERIFY(!stranger.hasPendingDatagrams());
            QCOMPARE(r.linkState(), LinkSocket::State::Connected);
            return;
        }
        // Someone answers every few seconds while the peer stays silent.
        for (int ms = 5000; ms < 400000; ms += 5000) {
            clock.scheduleAt(at + ms, [&stranger, windowPort, datagram] {
                stranger.writeDatagram(datagram, QHostAddress::LocalHost, windowPort);
            });
        }
        const int lostAt = side == Side::Listens ? 190000 : 160000;
        r.waitUntil(at + lostAt + 5000);
        if (taken) {
            QCOMPARE(r.linkState(), LinkSocket::State::Connected);
            QCOMPARE(r.form.RetryPingTimer->interval(), 60000);
            return;
        }
        QCOMPARE(r.status(), kNoAnswer);
        QCOMPARE(NotIdleAfterLink(r.form).join(u"; "_s), QString());
    }
};

QTEST_MAIN(NetFaultsTest)
#include "test_net_faults.moc"
