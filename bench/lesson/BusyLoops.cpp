#include "BusyLoops.h"

#include <QProcess>

BusyLoops::BusyLoops(int count) {
    for (int i = 0; i < count; ++i) {
        auto* loop = new QProcess;
        loop->start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        m_loops.append(loop);
    }
}

BusyLoops::~BusyLoops() {
    for (QProcess* loop : m_loops) {
        loop->kill();
        loop->waitForFinished(2000);
        delete loop;
    }
}
