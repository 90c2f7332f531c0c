#pragma once

#include <QObject>
#include <QString>
#include <functional>

// Real-time scheduling for the thread that feeds the sound server, asked for as desktop audio
// clients ask for it: directly where the system allows it (a user with a real-time limit, or
// root), otherwise through RealtimeKit over the system bus. Without either the thread runs at
// normal priority, and the server's quarter of a second of buffer has to do.
namespace RealtimeThread {

inline constexpr int kPriority = 5;

// On the thread to promote: true when it now runs under a real-time policy.
bool PromoteCurrentThread();

// The calling thread's id as the kernel knows it (what RealtimeKit is given).
qint64 CurrentThreadId();

// Asks RealtimeKit to promote the thread, without waiting for the answer (a system bus that
// does not answer must not hold up the program). done receives whether it was granted.
void RequestFromRealtimeKit(qint64 threadId, QObject* context,
                            std::function<void(bool granted, const QString& why)> done);

}  // namespace RealtimeThread
