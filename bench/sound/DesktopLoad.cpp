#include "DesktopLoad.h"

#include <QCoreApplication>

#include "core/sound/PlannedStream.h"

namespace {

constexpr int kBusyLoops = 2;

struct Named {
    Condition condition;
    const char16_t* name;
};
constexpr Named kNames[] = {{Condition::Idle, u"idle"}, {Condition::Reader, u"reader"},
                            {Condition::Busy, u"busy"}, {Condition::Stall, u"stall"},
                            {Condition::All, u"all"},   {Condition::ScreenReader, u"screenreader"}};

}  // namespace

QString ConditionName(Condition condition) {
    for (const Named& named : kNames) {
        if (named.condition == condition) {
            return QString::fromUtf16(named.name);
        }
    }
    return {};
}

bool ParseCondition(const QString& name, Condition& condition) {
    for (const Named& named : kNames) {
        if (name == QString::fromUtf16(named.name)) {
            condition = named.condition;
            return true;
        }
    }
    return false;
}

WindowStall::WindowStall(int stallMs, int periodMs) {
    m_timer.setInterval(periodMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this, stallMs] {
        const double from = MonotonicMs();
        while (MonotonicMs() < from + stallMs) {
        }
        m_stalledMs += MonotonicMs() - from;
    });
    m_timer.start();
}

DesktopLoad::DesktopLoad(Condition condition) {
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const bool all = condition == Condition::All;
    if (condition == Condition::Reader || condition == Condition::ScreenReader || all) {
        m_reader = std::make_unique<DesktopClient>();
        const QStringList arguments = condition == Condition::ScreenReader
                                          ? QStringList{QStringLiteral("events"), pid}
                                          : QStringList{QStringLiteral("walk"), pid};
        if (!m_reader->start(arguments, m_error)) {
            return;
        }
    }
    if (condition == Condition::Busy || all) {
        m_loops = std::make_unique<BusyLoops>(kBusyLoops);
    }
    if (condition == Condition::Stall || all) {
        m_stall = std::make_unique<WindowStall>();
    }
}

DesktopLoad::~DesktopLoad() {
    finish();
}

QString DesktopLoad::finish() {
    m_stall.reset();
    m_loops.reset();
    if (m_reader) {
        m_summary = m_reader->stop();
        m_reader.reset();
    }
    return m_summary;
}
