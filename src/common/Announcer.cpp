#include "common/Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "common/AccessibleValueLabel.h"

namespace {

// Enough for the few announcements of one answer to stay readable; older ones go.
constexpr int kNoticesKept = 8;

// One announcement: a notification named with its text.
class Notice : public QWidget {
    Q_OBJECT
  public:
    Notice(const QString& text, QWidget* window) : QWidget(window) {
        setObjectName(QStringLiteral("Announcement"));
        setAccessibleName(text);
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

}  // namespace

Announcer::Announcer(QWidget* window) : QObject(window), m_window(window) {
    installAccessibility();
}

void Announcer::announce(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    m_text = text;
    ++m_count;
    auto* notice = new Notice(text, m_window);
    notice->show();
    notice->raise();
    QAccessibleEvent named(notice, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    m_notices.append(notice);
    while (m_notices.size() > kNoticesKept) {
        delete m_notices.takeFirst().data();
    }
}

void Announcer::announceShownText(QLabel* label, Phrase phrase) {
    auto* value = qobject_cast<AccessibleValueLabel*>(label);
    if (value == nullptr) {
        return;
    }
    // Queued: the announcer must not show a notice from inside a paint.
    connect(
        value, &AccessibleValueLabel::textShown, this,
        [this, phrase = std::move(phrase)](const QString& text) { announce(phrase(text)); },
        Qt::QueuedConnection);
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
