#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "core/morse/DurationClusters.h"

// What the decoder makes of each mark and gap it was given.
// A pause is a gap far longer than any word gap (the learner stopped to think or read): it ends
// a word, but says nothing about the sender's timing.
enum class ElementKind { Dot, Dash, ElementGap, CharacterGap, WordGap, Pause };

struct DecodedElement {
    double ms;
    ElementKind kind;
    int character;  // index into characters() of the character it belongs to or ends
};

struct DecodedCharacter {
    QString text;     // the sign's text, or the unknown marker
    QString pattern;  // "." and "-" as keyed
};

// Dot/dash pattern to the text shown for it.
using SignTable = QHash<QString, QString>;

// The trainer's own signs: letters, digits, "." "/" "=" "?", "[KN]" and "[AR]".
SignTable DefaultSignTable();

// Turns hand-keyed marks and gaps into text, with no speed set: it learns the sender's dot and
// dash and the element, character and word gaps from what it hears, each as a group of similar
// durations over the last few dozen elements, and puts every boundary at the geometric mean of
// the two groups beside it. Long character gaps (a Farnsworth fist) form their own group and
// so do not read as word gaps. Until it has heard enough to tell dots from dashes and element
// from character gaps it holds the text back; then it decodes all it has held.
//
// A mark or gap far shorter than anything keyed (a contact bouncing, a glitch on a serial line)
// is no element of its own: it and the mark or gap after it are counted into the one it
// interrupted, so it neither teaches the groups nor splits a character. Far shorter is under an
// eighth of the shortest mark or gap kept so far (a sender's shortest gap is rarely under a
// fifth of the dash beside it), and always under 8 ms, which nothing keyed reaches (the keyer's
// shortest element is a 12 ms weighted dot or gap at 50 WPM).
class MorseDecoder {
  public:
    static constexpr char16_t kUnknownMarker = u'*';

    explicit MorseDecoder(SignTable table = DefaultSignTable());

    // Durations in ms, alternating as keyed; a gap before the first mark is ignored.
    void addMark(double ms);
    void addGap(double ms);
    // The key has been up for ms and still is: once that is a character gap, the character
    // keyed last is shown without waiting for the next mark, and once it is a word gap, the
    // space after it (the gap follows with addGap).
    void silence(double ms);
    // The keying has ended: decodes whatever is still held.
    void finish();

    // Receives each piece of text as it is decoded (a character, or " " between words).
    void setOutput(std::function<void(const QString&)> output) { m_output = std::move(output); }

    QString text() const { return m_text; }
    const std::vector<DecodedElement>& elements() const { return m_elements; }
    const std::vector<DecodedCharacter>& characters() const { return m_characters; }

    // The learned lengths in ms (what the boundaries are the geometric means of).
    double dotMs() const;
    double dashMs() const;
    double elementGapMs() const;
    double characterGapMs() const;
    double wordGapMs() const;
    // How long a silence after the last mark must be to end a word: between the learned
    // character and word gaps, or, while still learning, well past every length keyed so far.
    double wordBoundaryMs() const;

  private:
    struct Held {
        double ms;
        bool mark;
        bool pause = false;
    };
    struct Model {
        double dot, dash, elementGap, characterGap, wordGap;  // log ms
        bool marksKnown, gapsKnown;
    };

    // A mark or gap that is waiting for the next one to be sure it is no bounce's part.
    struct Open {
        double ms;
        bool mark;
    };

    void add(double ms, bool mark);
    bool isBounce(double ms) const;
    void commitOpen();
    void commitMark(double ms);
    void commitGap(double ms);
    Model model() const;
    bool isPause(double ms, const Model& model) const;
    void decodeHeld(bool all);
    void emitCharacter(const std::vector<Held>& marks, const Model& model);
    bool allSigns(const std::vector<ElementKind>& kinds) const;
    void emitText(const QString& piece);

    SignTable m_table;
    std::function<void(const QString&)> m_output;
    DurationWindow m_marks{48};
    DurationWindow m_gaps{96};
    std::vector<Held> m_held;
    std::optional<Open> m_open;
    bool m_joining = false;  // a bounce interrupted m_open: what comes next belongs to it too
    bool m_locked = false;
    bool m_shownEarly = false;  // silence() showed the last character before its gap came
    bool m_spaceShown = false;  // and the word space after it
    QString m_text;
    std::vector<DecodedElement> m_elements;
    std::vector<DecodedCharacter> m_characters;
};
