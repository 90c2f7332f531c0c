#include "DesktopClient.h"

#include <QElapsedTimer>
#include <csignal>

namespace {

constexpr int kReadyTimeoutMs = 30000;

QString ClientScript() {
    return QStringLiteral(QUILL_BENCH_SOUND_DIR "/desktop_client.py");
}

}  // namespace

DesktopClient::~DesktopClient() {
    stop();
}

bool DesktopClient::start(const QStringList& arguments, QString& error) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), QStringList{ClientScript()} + arguments);
    if (!m_process.waitForStarted(5000)) {
        error = QStringLiteral("desktop_client.py did not start");
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kReadyTimeoutMs) {
        if (m_process.canReadLine() || m_process.waitForReadyRead(200)) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            if (line == u"ready") {
                return true;
            }
            if (!line.isEmpty()) {
                error = QStringLiteral("desktop_client.py: ") + line;
                return false;
            }
        }
        if (m_process.state() == QProcess::NotRunning) {
            break;
        }
    }
    error = QStringLiteral("desktop_client.py did not get ready");
    return false;
}

void DesktopClient::send(const QString& line) {
    m_process.write((line + u'\n').toUtf8());
    m_process.waitForBytesWritten(1000);
}

QString DesktopClient::finish(int timeoutMs) {
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(timeoutMs)) {
        return stop();
    }
    m_summary += QString::fromUtf8(m_process.readAllStandardOutput()).trimmed();
    return m_summary;
}

QString DesktopClient::stop() {
    if (m_process.state() == QProcess::NotRunning) {
        return m_summary;
    }
    ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    m_summary += QString::fromUtf8(m_process.readAllStandardOutput()).trimmed();
    return m_summary;
}
