#include "ui/kit/Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <algorithm>

#include "core/kit/AnnouncerPace.h"
#include "ui/kit/AccessibleValueLabel.h"

namespace {

// Enough for the few announcements of one event to stay readable; older ones go.
constexpr int kNoticesKept = 8;
constexpr int kSaidKept = 32;
// A text waits this long before it is said: what comes with it from the same event (a newer
// status line, a window that takes the focus) has come by then.
constexpr int kSettleMs = 150;
// More speech waiting than this is a flood nobody could follow: the oldest go, the newest stays.
constexpr int kMostWaitingMs = 8000;
// However long speech is taken to last, nothing is held longer than this for it.
constexpr int kLongestHoldMs = 10000;

// One announcement: a notification, named with its text once it shows.
class Notice : public QWidget {
    Q_OBJECT
  public:
    explicit Notice(QWidget* window) : QWidget(window) {
        setObjectName(QStringLiteral("Announcement"));
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedSize(1, 1);
    }
};

class NotificationInterface : public QAccessibleWidget {
  public:
    explicit NotificationInterface(QWidget* notice)
        : QAccessibleWidget(notice, QAccessible::Notification) {}
};

QAccessibleInterface* notificationFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(Notice::staticMetaObject.className())) {
        return nullptr;
    }
    auto* notice = qobject_cast<QWidget*>(object);
    return notice ? new NotificationInterface(notice) : nullptr;
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : widget->accessibleName();
}

}  // namespace

Announcer::Announcer(QWidget* window, Clock& clock)
    : QObject(window), m_window(window), m_clock(clock) {
    installAccessibility();
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        connect(application, &QApplication::focusChanged, this, &Announcer::focusMoved);
    }
}

Announcer::~Announcer() {
    if (m_timer != 0) {
        m_clock.cancel(m_timer);
    }
}

void Announcer::announce(const QString& text, const QString& topic) {
    if (text.isEmpty()) {
        return;
    }
    m_text = text;
    ++m_count;
    if (!topic.isEmpty()) {
        m_waiting.removeIf([&topic](const Waiting& waiting) { return waiting.topic == topic; });
    }
    const bool waitingAlready = std::any_of(m_waiting.cbegin(), m_waiting.cend(),
                                            [&text](const Waiting& w) { return w.text == text; });
    const bool beingSaid =
        !m_said.isEmpty() && m_said.constLast().text == text && m_clock.now() < m_busyUntil;
    if (waitingAlready || beingSaid) {
        return;
    }
    m_waiting.append({text, topic, m_clock.now()});
    const auto waitingMs = [this] {
        int ms = 0;
        for (const Waiting& waiting : m_waiting) {
            ms += SpeechTimeMs(waiting.text);
        }
        return ms;
    };
    while (m_waiting.size() > 1 && waitingMs() > kMostWaitingMs) {
        m_waiting.removeFirst();
    }
    schedule();
}

void Announcer::dropWaiting() {
    m_waiting.clear();
    schedule();
}

void Announcer::announceShownText(QLabel* label, Phrase phrase) {
    auto* value = qobject_cast<AccessibleValueLabel*>(label);
    if (value == nullptr) {
        return;
    }
    // Queued: the announcer must not show a notice from inside a paint.
    connect(
        value, &AccessibleValueLabel::textShown, this,
        [this, phrase = std::move(phrase), topic = label->objectName()](const QString& text) {
            announce(phrase(text), topic);
        },
        Qt::QueuedConnection);
}

bool Announcer::listening() const {
    return m_listening.value_or(QAccessible::isActive());
}

bool Announcer::said() const {
    return m_waiting.isEmpty() && m_clock.now() >= m_busyUntil;
}

void Announcer::afterSaid(QObject* context, std::function<void()> resume) {
    if (!listening()) {
        resume();
        return;
    }
    // What was just shown is announced once painted and settled; never held for longer than a
    // screen reader is given.
    RunAfter(m_clock, context, kSettleMs, [this, context, resume = std::move(resume)] {
        auto once = std::make_shared<bool>(false);
        const auto go = [once, resume] {
            if (!std::exchange(*once, true)) {
                resume();
            }
        };
        m_followers.append({context, go});
        schedule();
        RunAfter(m_clock, context, kLongestHoldMs, go);
    });
}

void Announcer::whenSaid(QObject* context, std::function<void()> action) {
    if (!listening() || said()) {
        action();
        return;
    }
    m_followers.append({context, std::move(action)});
    schedule();
}

void Announcer::focusMoved(QWidget* from, QWidget* to) {
    if (to == nullptr) {
        return;
    }
    const bool otherWindow = from == nullptr || from->window() != to->window();
    const QString title = otherWindow ? to->window()->windowTitle() : QString();
    busyUntil(m_clock.now() + FocusReadingMs(title, AccessibleName(to)));
}

void Announcer::busyUntil(qint64 time) {
    m_busyUntil = std::max(m_busyUntil, time);
    schedule();
}

void Announcer::schedule() {
    qint64 due = m_busyUntil;
    if (!m_waiting.isEmpty()) {
        due = std::max(due, m_waiting.constFirst().since + kSettleMs);
    } else if (m_followers.isEmpty()) {
        return;
    }
    if (m_timer != 0) {
        if (m_timerDue == due) {
            return;
        }
        m_clock.cancel(m_timer);
    }
    m_timerDue = due;
    m_timer = m_clock.scheduleAt(due, [this] {
        m_timer = 0;
        sayNext();
    });
}

void Announcer::sayNext() {
    const qint64 now = m_clock.now();
    if (now < m_busyUntil || m_waiting.isEmpty()) {
        if (said()) {
            runFollowers();
        }
        schedule();
        return;
    }
    // Never over the sound: it is heard to its end first.
    if (const qint64 ahead = m_soundAhead ? m_soundAhead() : 0; ahead > 0) {
        m_timerDue = now + ahead;
        m_timer = m_clock.scheduleAt(m_timerDue, [this] {
            m_timer = 0;
            sayNext();
        });
        return;
    }
    if (m_waiting.constFirst().since + kSettleMs > now) {
        schedule();
        return;
    }
    const QString text = m_waiting.takeFirst().text;
    show(text);
    m_busyUntil = now + std::min(SpeechTimeMs(text), kLongestHoldMs);
    schedule();
}

void Announcer::show(const QString& text) {
    auto* notice = new Notice(m_window);
    notice->show();
    notice->raise();
    // Named once shown: a screen reader is told of the name once, when it can be read.
    notice->setAccessibleName(text);
    m_notices.append(notice);
    while (m_notices.size() > kNoticesKept) {
        delete m_notices.takeFirst().data();
    }
    m_said.append({m_clock.now(), text});
    while (m_said.size() > kSaidKept) {
        m_said.removeFirst();
    }
}

void Announcer::runFollowers() {
    const QList<Follower> followers = std::exchange(m_followers, {});
    for (const Follower& follower : followers) {
        if (follower.context) {
            follower.action();
        }
    }
}

QList<QWidget*> Announcer::notices() const {
    QList<QWidget*> kept;
    for (const QPointer<QWidget>& notice : m_notices) {
        if (notice) {
            kept.append(notice);
        }
    }
    return kept;
}

void Announcer::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(notificationFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

#include "Announcer.moc"
