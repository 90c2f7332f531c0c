// The trainer's responsiveness and cost while it plays: how long an answer click, a stop click
// and a received chat line wait for their handlers while a question sounds, the CPU time a
// second of sound costs, the CPU an idle link costs, and the start-up time to a shown window.
// Run it under tests/realsound/with-null-sink.sh for real sound (scripts/bench-lesson.sh).
//
//   lesson_bench responsiveness [seconds]   clicks and messages while a question plays
//   lesson_bench cpu [seconds]              CPU per second of sound, then idle with the link up
//   lesson_bench startup                    process start to the window shown
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>

#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/kit/Places.h"
#include "core/kit/RealClock.h"
#include "core/sound/RealSoundOutput.h"
#include "support/TestContext.h"
#include "ui/app/MainForm.h"
#include "ui/kit/QtDesktopServices.h"
#include "ui/lesson/QuestionPlayer.h"

namespace {

using Steady = std::chrono::steady_clock;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void Report(const char* what, const std::vector<double>& ms) {
    std::printf("  %-34s n=%4zu  median %7.2f ms  p99 %7.2f ms  max %7.2f ms\n", what, ms.size(),
                Percentile(ms, 0.5), Percentile(ms, 0.99),
                ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end()));
}

// The whole program's set-up as main() makes it, on temporary folders and free ports.
struct Program {
    QTemporaryDir programDir;
    QTemporaryDir currentDir;
    RealClock clock;
    RealSoundOutput sound{clock};
    QtDesktopServices desktop{clock};
    Places places{programDir.path(), currentDir.path()};
    NetPorts ports = FreePorts();
    MainForm form{AppContext{clock, sound, desktop, places, [] {}, ports,
                             QDir(currentDir.path()).filePath(QStringLiteral("history.sqlite"))}};

    Program() {
        form.ui().CallsignText->setText(QStringLiteral("JA1BEN"));
        form.ui().ConnectIpText->setText(QStringLiteral("127.0.0.1"));
        form.show();
    }
    ~Program() { sound.shutDown(200); }
    // Connects to the peer (the window is the connecting side, which starts at once) and leaves
    // chat mode for Normal receive mode, as an answerer does.
    bool linkUp() {
        form.ui().ConnectButton->click();
        const bool up = WaitUntil(
            clock, [this] { return form.link().peerCallsign == QStringLiteral("JA9BEN"); }, 10000);
        Delay(clock, 200);
        form.ui().NormalMode_Option->setEnabled(true);
        form.ui().NormalMode_Option->setChecked(true);
        std::printf("link: %s\n", up ? "up" : "not up");
        return up;
    }
    // Waits until the sound server has come (or shows it is not there), for at most 5 s.
    void awaitSound() {
        WaitUntil(
            clock, [this] { return sound.isSoundOn(); }, 5000);
        std::printf("sound: %s\n", sound.isSoundOn() ? "on (real output)" : "off (silent)");
    }
    // A Normal-mode question that plays for about the given time at 25 per minute (the
    // repeated text takes about 37 s).
    QString questionOfSeconds(int seconds) const {
        const QString text = QStringLiteral("PARIS 5NN 73 0 ");
        const QString question = text.repeated(std::max(1, seconds / 37));
        return seconds >= 37 ? question
                             : text.left(std::max<qsizetype>(1, seconds * text.size() / 37));
    }
    void play(const QString& question) {
        form.lesson().stopPlayback = false;
        form.lesson().playedCount = 0;
        form.questionPlayer().PlayQuestion(question);
    }
};

// A peer on its own thread: listens for the window, then sends chat lines at random moments,
// noting when each went out.
class Peer : public QThread {
  public:
    Peer(quint16 port, std::atomic<qint64>& sentAt, std::atomic<bool>& stop)
        : m_port(port), m_sentAt(sentAt), m_stop(stop) {}

  protected:
    void run() override {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost, m_port) ||
            !server.waitForNewConnection(15000)) {
            return;
        }
        QTcpSocket* socket = server.nextPendingConnection();
        socket->write("0JA9BEN");
        socket->waitForBytesWritten(1000);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> pause(150, 450);
        while (!m_stop) {
            QThread::msleep(static_cast<unsigned long>(pause(random)));
            socket->readAll();
            if (!m_sending) {
                continue;
            }
            m_sentAt = Steady::now().time_since_epoch().count();
            socket->write("1bench line");
            socket->waitForBytesWritten(1000);
        }
    }

  public:
    std::atomic<bool> m_sending{false};

  private:
    quint16 m_port;
    std::atomic<qint64>& m_sentAt;
    std::atomic<bool>& m_stop;
};

// Clicks arriving at random moments: queued from another thread, as input events come in from
// the window system, stamped with when they were queued. What is measured is how long the GUI
// thread takes to get to them.
class Clicker : public QThread {
  public:
    Clicker(QPushButton* target, std::atomic<qint64>& postedAt, std::atomic<bool>& stop, int seed)
        : m_target(target), m_postedAt(postedAt), m_stop(stop), m_seed(seed) {}

  protected:
    void run() override {
        std::mt19937 random(static_cast<unsigned>(m_seed));
        std::uniform_int_distribution<int> pause(120, 400);
        while (!m_stop) {
            QThread::msleep(static_cast<unsigned long>(pause(random)));
            m_postedAt = Steady::now().time_since_epoch().count();
            QMetaObject::invokeMethod(m_target, "click", Qt::QueuedConnection);
        }
    }

  private:
    QPushButton* m_target;
    std::atomic<qint64>& m_postedAt;
    std::atomic<bool>& m_stop;
    int m_seed;
};

double MsSince(const std::atomic<qint64>& stamp) {
    const qint64 now = Steady::now().time_since_epoch().count();
    return double(now - stamp.load()) / 1e6;
}

int Responsiveness(int seconds) {
    Program p;
    p.awaitSound();
    std::atomic<qint64> answerAt{0};
    std::atomic<qint64> stopAt{0};
    std::atomic<qint64> lineAt{0};
    std::atomic<bool> stop{false};
    std::vector<double> answerMs;
    std::vector<double> stopMs;
    std::vector<double> lineMs;
    Peer peer(p.ports.tcp, lineAt, stop);
    peer.start();
    p.linkUp();  // in Normal mode from here on: it disables the answer buttons, so first
    QPushButton* answer = p.form.ui().answerButton(u'E');
    QPushButton* stopButton = p.form.ui().StopButton_Command;
    answer->setEnabled(true);
    stopButton->setEnabled(true);
    // Connected before the handlers' own connections run? They run in connection order; the
    // wait is what is measured, so being first or last changes nothing of substance.
    QObject::connect(answer, &QPushButton::clicked, [&] { answerMs.push_back(MsSince(answerAt)); });
    QObject::connect(stopButton, &QPushButton::clicked, [&] { stopMs.push_back(MsSince(stopAt)); });
    QObject::connect(p.form.ui().ChatText, &QPlainTextEdit::textChanged, [&] {
        if (lineAt != 0 &&
            p.form.ui().ChatText->toPlainText().endsWith(QStringLiteral("bench line"))) {
            lineMs.push_back(MsSince(lineAt));
            lineAt = 0;
        }
    });
    Clicker answers(answer, answerAt, stop, 1);
    Clicker stops(stopButton, stopAt, stop, 2);
    peer.m_sending = true;
    answers.start();
    stops.start();
    QElapsedTimer elapsed;
    elapsed.start();
    p.play(p.questionOfSeconds(seconds));
    stop = true;
    for (QThread* thread : std::initializer_list<QThread*>{&peer, &answers, &stops}) {
        thread->wait(5000);
    }
    std::printf("responsiveness while a Normal question plays for %.1f s (WAV, 25/min):\n",
                elapsed.elapsed() / 1000.0);
    Report("answer button click -> handler", answerMs);
    Report("stop button click -> handler", stopMs);
    Report("received chat line -> dispatched", lineMs);
    return 0;
}

int Cpu(int seconds) {
    Program p;
    p.awaitSound();
    p.form.ui().NormalMode_Option->setChecked(true);
    QElapsedTimer elapsed;
    elapsed.start();
    double cpu = CpuSeconds();
    p.play(p.questionOfSeconds(seconds));
    const double playedS = elapsed.elapsed() / 1000.0;
    const double playCpu = CpuSeconds() - cpu;
    std::printf("CPU while a question plays: %.2f s of CPU over %.1f s = %.2f %% of one core\n",
                playCpu, playedS, 100.0 * playCpu / playedS);

    // Idle with the link up: a peer connected, nothing happening (the pings go on).
    std::atomic<qint64> unused{0};
    std::atomic<bool> stop{false};
    Peer peer(p.ports.tcp, unused, stop);
    peer.start();
    p.linkUp();
    const int idleS = std::max(10, seconds / 4);
    cpu = CpuSeconds();
    Delay(p.clock, idleS * 1000);
    const double idleCpu = CpuSeconds() - cpu;
    std::printf("CPU idle with the link up: %.3f s of CPU over %d s = %.3f %% of one core\n",
                idleCpu, idleS, 100.0 * idleCpu / idleS);
    stop = true;
    peer.wait(5000);
    return 0;
}

// Seconds since the process was started, from /proc (field 22 of stat, in clock ticks).
double SecondsSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray statLine = stat.readAll();
    const QList<QByteArray> fields = statLine.mid(statLine.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
    return upSeconds - startTicks / double(sysconf(_SC_CLK_TCK));
}

int Startup() {
    QElapsedTimer inProcess;
    inProcess.start();
    Program p;
    QCoreApplication::processEvents();
    std::printf(
        "start-up to a shown window: %.0f ms since the process started (%lld ms after "
        "main() began); sound %s at that moment\n",
        SecondsSinceProcessStart() * 1000.0, static_cast<long long>(inProcess.elapsed()),
        p.sound.isSoundOn() ? "on" : "not yet on");
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString mode = args.value(1, QStringLiteral("responsiveness"));
    const int seconds = args.value(2, QStringLiteral("60")).toInt();
    if (mode == QStringLiteral("startup")) {
        return Startup();
    }
    if (mode == QStringLiteral("cpu")) {
        return Cpu(seconds);
    }
    return Responsiveness(seconds);
}
