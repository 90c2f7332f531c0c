#include "practice/LessonAnnouncements.h"

#include "common/AccessibleValueLabel.h"
#include "common/Announcer.h"
#include "common/MainFormUi.h"

using namespace Qt::StringLiterals;

namespace {

// Announces what label shows, as phrase makes it (nothing for an empty phrase). Queued: the
// label tells as it paints, and the announcer must not show itself inside a paint.
template <typename Phrase>
void Announce(QLabel* label, Announcer* announcer, Phrase phrase) {
    auto* value = qobject_cast<AccessibleValueLabel*>(label);
    if (value == nullptr) {
        return;
    }
    QObject::connect(
        value, &AccessibleValueLabel::textShown, announcer,
        [announcer, phrase](const QString& text) { announcer->announce(phrase(text)); },
        Qt::QueuedConnection);
}

// A count as read out: "正解数 3"; nothing while it shows no number (Normal mode's " - ").
auto CountPhrase(const QString& name) {
    return [name](const QString& text) {
        bool number = false;
        text.trimmed().toInt(&number);
        return number ? name + u' ' + text.trimmed() : QString();
    };
}

}  // namespace

LessonAnnouncements::LessonAnnouncements(QWidget& window, const MainFormUi& ui, QObject* parent)
    : QObject(parent), m_announcer(new Announcer(&window)) {
    Announce(ui.Label1, m_announcer,
             [](const QString& text) { return text == u"○"_s ? u"正解"_s : text.trimmed(); });
    Announce(ui.Label2, m_announcer, CountPhrase(u"正解数"_s));
    Announce(ui.Label4, m_announcer, CountPhrase(u"出題数"_s));
}
