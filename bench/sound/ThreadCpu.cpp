#include "ThreadCpu.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "core/sound/PlannedStream.h"

namespace ThreadCpu {

qint64 CurrentThreadId() {
    return static_cast<qint64>(syscall(SYS_gettid));
}

QMap<qint64, double> ThreadTimesMs() {
    QMap<qint64, double> times;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& entry : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(entry + QStringLiteral("/schedstat")));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;  // a thread that ended meanwhile
        }
        // The first field: nanoseconds run on a CPU.
        const QByteArray first = stat.readAll().split(' ').value(0);
        times.insert(entry.toLongLong(), first.toDouble() / 1e6);
    }
    return times;
}

QString ThreadName(qint64 threadId) {
    QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(threadId));
    if (!comm.open(QIODevice::ReadOnly)) {
        return QStringLiteral("(ended)");
    }
    return QString::fromUtf8(comm.readAll().trimmed());
}

}  // namespace ThreadCpu

void CpuMeter::start() {
    m_window = ThreadCpu::CurrentThreadId();
    m_startMs = MonotonicMs();
    m_before = ThreadCpu::ThreadTimesMs();
}

CpuMeter::Result CpuMeter::stop() const {
    const QMap<qint64, double> after = ThreadCpu::ThreadTimesMs();
    Result result;
    result.wallMs = MonotonicMs() - m_startMs;
    for (auto thread = after.cbegin(); thread != after.cend(); ++thread) {
        if (m_excluded.contains(thread.key())) {
            continue;
        }
        // Threads started meanwhile count from zero; those that ended are lost (none of the
        // program's end while it plays).
        const double used = thread.value() - m_before.value(thread.key(), 0.0);
        result.programMs += used;
        if (thread.key() == m_window) {
            result.windowMs = used;
        }
        result.byThreadName[ThreadCpu::ThreadName(thread.key())] += used;
    }
    return result;
}
