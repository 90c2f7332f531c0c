#include "ui/app/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

#include "core/kit/Clock.h"

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// What the handler may touch: a lock-free flag and a pipe (both async-signal-safe).
Clock* g_clock = nullptr;
int g_pipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int) {
    if (g_clock != nullptr) {
        g_clock->interruptBlocking();
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(Clock& clock, QObject* parent) : QObject(parent) {
    if (::pipe(g_pipe) != 0) {
        return;
    }
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    g_clock = &clock;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);

    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    if (m_notifier == nullptr) {
        return;
    }
    for (int signal : kSignals) {
        ::signal(signal, SIG_DFL);
    }
    g_clock = nullptr;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::readPipe() {
    char buffer[64];
    bool received = false;
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
        received = true;
    }
    if (received) {
        emit terminationRequested();
    }
}
