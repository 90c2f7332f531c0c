#include "core/sound/RealtimeThread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <functional>

namespace RealtimeThread {

namespace {

// RealtimeKit only promotes threads of a process whose real-time CPU time is limited, so that a
// runaway thread is stopped by the kernel; the limit a real-time thread may run without sleeping.
constexpr rlim_t kRealtimeLimitUsec = 200000;

void LimitRealtimeTime() {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) == 0 &&
        (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > kRealtimeLimitUsec)) {
        limit.rlim_cur = kRealtimeLimitUsec;
        limit.rlim_max = kRealtimeLimitUsec;
        setrlimit(RLIMIT_RTTIME, &limit);
    }
}

}  // namespace

bool PromoteCurrentThread() {
    LimitRealtimeTime();
    sched_param parameter{};
    parameter.sched_priority = kPriority;
    return pthread_setschedparam(pthread_self(), SCHED_RR | SCHED_RESET_ON_FORK, &parameter) == 0;
}

qint64 CurrentThreadId() {
    return static_cast<qint64>(syscall(SYS_gettid));
}

void RequestFromRealtimeKit(qint64 threadId, QObject* context,
                            std::function<void(bool granted, const QString& why)> done) {
    LimitRealtimeTime();
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        done(false, QStringLiteral("no system bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.RealtimeKit1"),
        QStringLiteral("/org/freedesktop/RealtimeKit1"),
        QStringLiteral("org.freedesktop.RealtimeKit1"), QStringLiteral("MakeThreadRealtime"));
    call << static_cast<quint64>(threadId) << static_cast<quint32>(kPriority);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 2000), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                         const QDBusPendingReply<> reply = *finished;
                         done(!reply.isError(), reply.error().message());
                         finished->deleteLater();
                     });
}

}  // namespace RealtimeThread
