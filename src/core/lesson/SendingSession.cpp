#include "core/lesson/SendingSession.h"

#include "core/lesson/SendingTexts.h"

using namespace Qt::StringLiterals;

namespace {

// Whether what was keyed is the group's beginning: a pause there is the learner's hesitation
// inside the group, not its end.
bool PausedInside(const QString& group, const QString& keyed) {
    const QString whole = FoldedGroup(group);
    const QString begun = FoldedGroup(keyed);
    return begun.size() < whole.size() && whole.startsWith(begun);
}

}  // namespace

void KeyedText::take(const QString& decoded) {
    for (const QChar character : decoded) {
        if (character.isSpace()) {
            if (!m_text.isEmpty() && !m_text.endsWith(u' ')) {
                m_text += u' ';
            }
        } else {
            m_text += character;
        }
    }
}

int KeyedText::characters() const {
    return static_cast<int>(m_text.size() - m_text.count(u' '));
}

SendingResult SendingCopy::result() const {
    const CopyAlignment alignment = score();
    SendingResult result;
    result.mode = SendingMode::Copy;
    result.charactersKeyed = m_keyed.characters();
    result.sentCharacters = alignment.sentCharacters;
    result.rightCharacters = alignment.rightCharacters;
    result.distance = alignment.distance;
    return result;
}

SendingEcho::SendingEcho(SendingTexts& texts) : m_texts(texts), m_group(texts.nextGroup()) {}

std::optional<bool> SendingEcho::take(const QString& decoded) {
    for (const QChar character : decoded) {
        if (!character.isSpace()) {
            m_keyed.take(QString(character));
            continue;
        }
        if (m_keyed.text().isEmpty() || PausedInside(m_group, m_keyed.text())) {
            continue;
        }
        m_charactersKeyed += m_keyed.characters();
        const bool right = SameGroup(m_group, m_keyed.text());
        m_lastTry = m_keyed.text();
        m_keyed.clear();
        ++m_tries;
        if (right) {
            ++m_right;
            m_missesOfGroup = 0;
            m_group = m_texts.nextGroup();
        } else {
            ++m_missesOfGroup;
        }
        // What follows the gap in the same piece belongs to the next try, which has not yet been
        // played: it is dropped.
        return right;
    }
    return std::nullopt;
}

SendingResult SendingEcho::result() const {
    SendingResult result;
    result.mode = SendingMode::Echo;
    result.charactersKeyed = m_charactersKeyed + m_keyed.characters();
    result.groupsRight = m_right;
    result.groupTries = m_tries;
    return result;
}

QString EchoTallyText(int right, int tries) {
    return u"%1組中%2組正解"_s.arg(tries).arg(right);
}
