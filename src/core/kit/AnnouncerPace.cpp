#include "core/kit/AnnouncerPace.h"

namespace {

// From the notification to the first sound: the accessibility bus, the screen reader and the
// speech synthesiser each take their turn.
constexpr int kStartMs = 200;
constexpr int kMoraMs = 125;
// A kanji is read with two morae on average, a kana with one; a Latin letter or a digit is
// spelled out by its name ("エム", "ゼロ"), two or three morae. A space or a mark is a pause.
constexpr int kKanjiMs = 2 * kMoraMs;
constexpr int kKanaMs = kMoraMs;
constexpr int kSpelledMs = 5 * kMoraMs / 2;
constexpr int kPauseMs = kMoraMs;
// The control's kind ("ボタン", "ラベル") said after its name.
constexpr int kKindMs = 3 * kMoraMs;

int CharacterMs(QChar character) {
    const char16_t code = character.unicode();
    if (character.isLetterOrNumber() && code < 0x80) {
        return kSpelledMs;
    }
    if (code >= 0x4E00 && code <= 0x9FFF) {
        return kKanjiMs;
    }
    if (character.isLetterOrNumber()) {
        return kKanaMs;  // kana, full-width letters
    }
    return character.isSpace() || character.isPunct() || character.isSymbol() ? kPauseMs : 0;
}

int SaidMs(const QString& text) {
    int ms = 0;
    for (const QChar character : text) {
        ms += CharacterMs(character);
    }
    return ms;
}

}  // namespace

int SpeechTimeMs(const QString& text) {
    return text.isEmpty() ? 0 : kStartMs + SaidMs(text);
}

int FocusReadingMs(const QString& windowTitle, const QString& controlName) {
    return kStartMs + SaidMs(windowTitle) + SaidMs(controlName) + kKindMs;
}
