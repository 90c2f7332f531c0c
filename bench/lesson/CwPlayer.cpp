#include "CwPlayer.h"

#include <QProcess>
#include <algorithm>
#include <cmath>

namespace CwPlayer {

namespace {
constexpr int kSlowestWpm = 4;
constexpr int kFastestWpm = 60;
}  // namespace

int WpmForUnit(double unitMs) {
    return std::clamp(static_cast<int>(std::lround(1200 / unitMs)), kSlowestWpm, kFastestWpm);
}

double UnitForWpm(int wpm) {
    return 1200.0 / wpm;
}

QString Version() {
    QProcess cw;
    cw.start(QStringLiteral("cw"), {QStringLiteral("--version")});
    if (!cw.waitForFinished(5000)) {
        return {};
    }
    const QString out =
        QString::fromLocal8Bit(cw.readAllStandardOutput() + cw.readAllStandardError());
    return out.section(u'\n', 0, 0).trimmed();
}

bool Play(const QString& text, int wpm, int toneHz, QString& error) {
    QProcess cw;
    // PulseAudio output, no echo of the text; the text on standard input.
    cw.start(QStringLiteral("cw"),
             {QStringLiteral("--system=pulseaudio"), QStringLiteral("--wpm=%1").arg(wpm),
              QStringLiteral("--tone=%1").arg(toneHz), QStringLiteral("--noecho")});
    if (!cw.waitForStarted(5000)) {
        error = QStringLiteral("cw did not start: ") + cw.errorString();
        return false;
    }
    cw.write(text.toLatin1() + '\n');
    cw.closeWriteChannel();
    // At 4 wpm a character takes at most about 6 s: ample for the text.
    const int timeoutMs = static_cast<int>(text.size() * 6000 + 30000);
    if (!cw.waitForFinished(timeoutMs)) {
        cw.kill();
        cw.waitForFinished(2000);
        error = QStringLiteral("cw did not end in time");
        return false;
    }
    if (cw.exitStatus() != QProcess::NormalExit || cw.exitCode() != 0) {
        error = QStringLiteral("cw failed: ") + QString::fromLocal8Bit(cw.readAllStandardError());
        return false;
    }
    return true;
}

}  // namespace CwPlayer
