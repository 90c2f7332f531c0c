#include "QtUnderflowLog.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMutex>
#include <QString>
#include <atomic>
#include <cstring>

namespace QtUnderflowLog {

namespace {

constexpr const char* kCategory = "qt.multimedia.pulseaudio.output";

std::atomic<int> g_count{0};
QElapsedTimer g_since;
QMutex g_timesLock;
QList<qint64> g_times;
QtMessageHandler g_previous = nullptr;

// Called on PulseAudio's own thread too.
void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (context.category != nullptr && std::strcmp(context.category, kCategory) == 0) {
        if (message.contains(QStringLiteral("underflow"), Qt::CaseInsensitive)) {
            const QMutexLocker locker(&g_timesLock);
            g_times.append(g_since.elapsed());
            g_count.fetch_add(1, std::memory_order_relaxed);
        }
        if (type == QtDebugMsg) {
            return;
        }
    }
    if (g_previous != nullptr) {
        g_previous(type, context, message);
    }
}

}  // namespace

void Install() {
    g_since.start();
    g_previous = qInstallMessageHandler(Handle);
    QLoggingCategory::setFilterRules(QString::fromLatin1(kCategory) +
                                     QStringLiteral(".debug=true"));
}

int Count() {
    return g_count.load(std::memory_order_relaxed);
}

qint64 Now() {
    return g_since.elapsed();
}

QList<qint64> TimesFrom(int first) {
    const QMutexLocker locker(&g_timesLock);
    return g_times.mid(first);
}

}  // namespace QtUnderflowLog
