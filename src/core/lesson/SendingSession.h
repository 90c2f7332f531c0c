#pragma once

#include <QString>
#include <optional>

#include "core/kit/CopyAlignment.h"

class SendingTexts;

// How the learner practises sending.
enum class SendingMode {
    Free,  // keys anything and reads what was decoded
    Copy,  // keys a text that is shown, and sees it scored
    Echo,  // hears a group, keys it back, and is told whether it was right
};

// What one practice leaves for the history: the mode, how much was keyed, and its score.
struct SendingResult {
    SendingMode mode = SendingMode::Free;
    int charactersKeyed = 0;  // word gaps not counted
    // Copy sending: the keyed text against the shown one.
    int sentCharacters = 0;
    int rightCharacters = 0;
    int distance = 0;
    // Echo: groups keyed right, and every group judged (right or wrong).
    int groupsRight = 0;
    int groupTries = 0;
};

// The decoded text as it was keyed: characters as they come, a word gap as one space, never
// at the start and never two in a row.
class KeyedText {
  public:
    void take(const QString& decoded);
    void clear() { m_text.clear(); }
    const QString& text() const { return m_text; }
    // Characters keyed, word gaps not counted.
    int characters() const;

  private:
    QString m_text;
};

// Copy sending: the text the learner is shown and what the learner keyed of it; the learner
// ends it, and the two are then aligned and scored as a receive copy is.
class SendingCopy {
  public:
    explicit SendingCopy(QString target) : m_target(std::move(target)) {}

    void take(const QString& decoded) { m_keyed.take(decoded); }
    const QString& target() const { return m_target; }
    const QString& keyed() const { return m_keyed.text(); }
    CopyAlignment score() const { return AlignCopy(m_target, m_keyed.text()); }
    SendingResult result() const;

  private:
    QString m_target;
    KeyedText m_keyed;
};

// Echo: one group at a time. The group keyed back is judged at the word gap that ends it (a gap
// after the group's first characters is a pause within it): right brings the next group, wrong
// the same group again; both count as a try.
class SendingEcho {
  public:
    explicit SendingEcho(SendingTexts& texts);

    // The group to play now: the first, the next after a right one, the same after a wrong one.
    const QString& group() const { return m_group; }
    // What is keyed of the group so far.
    const QString& keyed() const { return m_keyed.text(); }
    // The group keyed last that was judged.
    const QString& lastTry() const { return m_lastTry; }
    // Takes decoded text; a word gap after some characters judges them: right or wrong.
    std::optional<bool> take(const QString& decoded);

    int groupsRight() const { return m_right; }
    int tries() const { return m_tries; }
    // Wrong tries of the group to play now, one after the other.
    int missesOfGroup() const { return m_missesOfGroup; }
    SendingResult result() const;

  private:
    SendingTexts& m_texts;
    QString m_group;
    KeyedText m_keyed;
    QString m_lastTry;
    int m_charactersKeyed = 0;
    int m_right = 0;
    int m_tries = 0;
    int m_missesOfGroup = 0;
};

// The running tally as shown: "5組中4組正解".
QString EchoTallyText(int right, int tries);
