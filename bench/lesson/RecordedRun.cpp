#include "RecordedRun.h"

#include <QFile>

namespace {

// The busy and the total time of all CPUs so far, from the first line of /proc/stat.
struct CpuTimes {
    double busy = 0;
    double total = 0;
};

CpuTimes ReadCpuTimes() {
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QList<QByteArray> fields = stat.readLine().simplified().split(' ');
    CpuTimes times;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const double value = fields[i].toDouble();
        times.total += value;
        if (i != 4 && i != 5) {  // idle and iowait
            times.busy += value;
        }
    }
    return times;
}

}  // namespace

RecordedRun RecordWhile(Clock& clock, const QString& wavPath, const std::function<bool()>& play) {
    RecordedRun run;
    MonitorRecorder recorder;
    if (!recorder.start(wavPath)) {
        run.error = QStringLiteral("parecord did not start");
        return run;
    }
    Delay(clock, 1000);
    const qint64 startMs = clock.now();
    const CpuTimes before = ReadCpuTimes();
    const bool played = play();
    const CpuTimes after = ReadCpuTimes();
    run.playSeconds = (clock.now() - startMs) / 1000.0;
    if (after.total > before.total) {
        run.machineBusy = (after.busy - before.busy) / (after.total - before.total);
    }
    Delay(clock, 500);
    if (!recorder.stop()) {
        run.error = QStringLiteral("parecord did not end cleanly");
        return run;
    }
    run.recording = ReadWav(wavPath);
    run.ok = played && !run.recording.samples.isEmpty();
    if (!run.ok && run.error.isEmpty()) {
        run.error = played ? QStringLiteral("empty recording") : QStringLiteral("play failed");
    }
    return run;
}
