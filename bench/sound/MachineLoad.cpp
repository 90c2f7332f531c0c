#include "MachineLoad.h"

#include <QFile>
#include <QList>

namespace {

// The busy and the total time of all CPUs so far, from the first line of /proc/stat.
void ReadCpuTimes(double& busy, double& total) {
    busy = 0;
    total = 0;
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly)) {
        return;
    }
    const QList<QByteArray> fields = stat.readLine().simplified().split(' ');
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const double value = fields[i].toDouble();
        total += value;
        if (i != 4 && i != 5) {  // idle and iowait
            busy += value;
        }
    }
}

QByteArray LoadFields() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().simplified() : QByteArray();
}

}  // namespace

void MachineLoad::start() {
    ReadCpuTimes(m_busy, m_total);
}

double MachineLoad::busyShare() const {
    double busy = 0;
    double total = 0;
    ReadCpuTimes(busy, total);
    return total > m_total ? (busy - m_busy) / (total - m_total) : 0;
}

double MachineLoad::loadAverage() {
    return LoadFields().split(' ').value(0).toDouble();
}

QString MachineLoad::loadLine() {
    const QList<QByteArray> fields = LoadFields().split(' ');
    return QStringLiteral("load %1 %2 %3")
        .arg(QString::fromLatin1(fields.value(0)), QString::fromLatin1(fields.value(1)),
             QString::fromLatin1(fields.value(2)));
}
