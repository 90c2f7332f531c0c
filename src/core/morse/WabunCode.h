#pragma once

#include <QChar>
#include <QString>
#include <span>

// 和文 Morse: the kana of the Japanese telegraph code. The voiced and semi-voiced marks and the
// long vowel are signs of their own, sent after the kana they belong to; DO opens a stretch of
// 和文 among international signs and SN closes it.
struct WabunSign {
    QChar sign;           // full-width katakana, or the mark or punctuation it stands for
    const char* pattern;  // "." and "-", sounded left to right
};

// Every sign of the code, in iroha order, the marks and punctuation after the kana.
std::span<const WabunSign> WabunTable();

// The pattern of one sign as WabunSigns gives it; empty for a character outside the code.
QString WabunPatternFor(QChar sign);

// The text as the code sends it: hiragana and half-width kana as full-width katakana, a voiced or
// semi-voiced kana as the kana and then its mark, a small kana as its full-size one. Characters
// outside the code are kept as they are, for the caller to sound another way or not at all.
QString WabunSigns(const QString& text);

inline constexpr const char* kWabunOpenPattern = "-..---";  // DO
inline constexpr const char* kWabunClosePattern = "...-.";  // SN
