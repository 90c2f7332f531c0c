#include "core/kit/RealClock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

RealClock::RealClock(QObject* parent) : Clock(parent) {
    m_elapsed.start();
    if (QCoreApplication::instance() != nullptr) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &Clock::requestQuit);
    }
}

qint64 RealClock::now() const {
    return m_elapsed.elapsed();
}

void RealClock::waitUntil(qint64 deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (!quitting()) {
        const qint64 remaining = deadline - now();
        if (remaining <= 0) {
            return;
        }
        QEventLoop loop;
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(this, &Clock::quitRequested, &loop, &QEventLoop::quit);
        wake.start(static_cast<int>(qMin<qint64>(remaining, 1 << 30)));
        // A loop that refuses to run means the application is already exiting.
        if (loop.exec() != 0) {
            requestQuit();
        }
    }
}

bool RealClock::waitFor(const std::function<bool()>& done, qint64 deadline) {
    // Looked at whenever the event loop has run what was pending and is about to sleep, so the
    // wait ends right after the event that fulfilled it. The slow tick covers a loop that never
    // sleeps because something keeps posting events.
    constexpr int kRecheckMs = 100;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (!quitting()) {
        if (done()) {
            return true;
        }
        const qint64 remaining = deadline - now();
        if (remaining <= 0) {
            return false;
        }
        QEventLoop loop;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setSingleShot(true);
        connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(this, &Clock::quitRequested, &loop, &QEventLoop::quit);
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
            connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&loop, &done] {
                if (done()) {
                    loop.quit();
                }
            });
        }
        tick.start(static_cast<int>(qMin<qint64>(remaining, kRecheckMs)));
        if (loop.exec() != 0) {
            requestQuit();
        }
    }
    return false;
}

void RealClock::block(int ms) {
    if (ms <= 0 || quitting()) {
        return;
    }
    // Short slices, so that an interruption ends the block within a few milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!blockingInterrupted()) {
        const auto remaining = deadline - std::chrono::steady_clock::now();
        if (remaining <= std::chrono::steady_clock::duration::zero()) {
            return;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(remaining, std::chrono::milliseconds(5)));
    }
}

Clock::TimerId RealClock::scheduleAt(qint64 due, std::function<void()> action) {
    const TimerId id = m_nextId++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, action = std::move(action)]() {
        if (QTimer* finished = m_timers.take(id)) {
            finished->deleteLater();
        }
        action();
    });
    m_timers.insert(id, timer);
    timer->start(static_cast<int>(qBound(qint64{0}, due - now(), qint64{1} << 30)));
    return id;
}

void RealClock::cancel(TimerId id) {
    if (QTimer* timer = m_timers.take(id)) {
        timer->stop();
        timer->deleteLater();
    }
}
