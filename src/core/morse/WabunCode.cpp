#include "core/morse/WabunCode.h"

#include <array>

namespace {

constexpr QChar kVoicedMark(0x309B);
constexpr QChar kSemiVoicedMark(0x309C);

constexpr std::array<WabunSign, 55> kWabun{{
    {QChar(0x30A4), ".-"},       // イ
    {QChar(0x30ED), ".-.-"},     // ロ
    {QChar(0x30CF), "-..."},     // ハ
    {QChar(0x30CB), "-.-."},     // ニ
    {QChar(0x30DB), "-.."},      // ホ
    {QChar(0x30D8), "."},        // ヘ
    {QChar(0x30C8), "..-.."},    // ト
    {QChar(0x30C1), "..-."},     // チ
    {QChar(0x30EA), "--."},      // リ
    {QChar(0x30CC), "...."},     // ヌ
    {QChar(0x30EB), "-.--."},    // ル
    {QChar(0x30F2), ".---"},     // ヲ
    {QChar(0x30EF), "-.-"},      // ワ
    {QChar(0x30AB), ".-.."},     // カ
    {QChar(0x30E8), "--"},       // ヨ
    {QChar(0x30BF), "-."},       // タ
    {QChar(0x30EC), "---"},      // レ
    {QChar(0x30BD), "---."},     // ソ
    {QChar(0x30C4), ".--."},     // ツ
    {QChar(0x30CD), "--.-"},     // ネ
    {QChar(0x30CA), ".-."},      // ナ
    {QChar(0x30E9), "..."},      // ラ
    {QChar(0x30E0), "-"},        // ム
    {QChar(0x30A6), "..-"},      // ウ
    {QChar(0x30F0), ".-..-"},    // ヰ
    {QChar(0x30CE), "..--"},     // ノ
    {QChar(0x30AA), ".-..."},    // オ
    {QChar(0x30AF), "...-"},     // ク
    {QChar(0x30E4), ".--"},      // ヤ
    {QChar(0x30DE), "-..-"},     // マ
    {QChar(0x30B1), "-.--"},     // ケ
    {QChar(0x30D5), "--.."},     // フ
    {QChar(0x30B3), "----"},     // コ
    {QChar(0x30A8), "-.---"},    // エ
    {QChar(0x30C6), ".-.--"},    // テ
    {QChar(0x30A2), "--.--"},    // ア
    {QChar(0x30B5), "-.-.-"},    // サ
    {QChar(0x30AD), "-.-.."},    // キ
    {QChar(0x30E6), "-..--"},    // ユ
    {QChar(0x30E1), "-...-"},    // メ
    {QChar(0x30DF), "..-.-"},    // ミ
    {QChar(0x30B7), "--.-."},    // シ
    {QChar(0x30F1), ".--.."},    // ヱ
    {QChar(0x30D2), "--..-"},    // ヒ
    {QChar(0x30E2), "-..-."},    // モ
    {QChar(0x30BB), ".---."},    // セ
    {QChar(0x30B9), "---.-"},    // ス
    {QChar(0x30F3), ".-.-."},    // ン
    {kVoicedMark, ".."},         // ゛
    {kSemiVoicedMark, "..--."},  // ゜
    {QChar(0x30FC), ".--.-"},    // ー
    {QChar(0x3001), ".-.-.-"},   // 、
    {QChar(0x3002), ".-.-.."},   // 。
    {QChar(u'('), "-.--.-"},     // (
    {QChar(u')'), ".-..-."},     // )
}};

// The code's kana for a katakana or hiragana: a small one (ァ ッ ャ ヮ ヵ ヶ ...) sent full-size.
QChar Folded(QChar kana) {
    char16_t code = kana.unicode();
    if (code >= 0x3041 && code <= 0x3096) {
        code += 0x60;  // hiragana to katakana
    }
    switch (code) {
        case 0x30A1:
        case 0x30A3:
        case 0x30A5:
        case 0x30A7:
        case 0x30A9:  // ァィゥェォ
        case 0x30C3:  // ッ
        case 0x30E3:
        case 0x30E5:
        case 0x30E7:  // ャュョ
        case 0x30EE:  // ヮ
            return QChar(code + 1);
        case 0x30F5:  // ヵ
            return QChar(0x30AB);
        case 0x30F6:  // ヶ
            return QChar(0x30B1);
        default:
            return QChar(code);
    }
}

// The mark's own sign for a voiced or semi-voiced mark in any of its forms; nothing otherwise.
QChar MarkSign(QChar character) {
    switch (character.unicode()) {
        case 0x3099:
        case 0x309B:
        case 0xFF9E:  // combining, spacing and half-width
            return kVoicedMark;
        case 0x309A:
        case 0x309C:
        case 0xFF9F:
            return kSemiVoicedMark;
        default:
            return {};
    }
}

QString SignsOfCharacter(QChar character) {
    if (const QChar mark = MarkSign(character); !mark.isNull()) {
        return QString(mark);
    }
    // The compatibility decomposition splits a voiced kana into the kana and a combining mark and
    // widens half-width kana. Only what starts with a sign of the code is taken apart, so other
    // text stays as it was.
    const QString decomposed = QString(character).normalized(QString::NormalizationForm_KD);
    if (decomposed.isEmpty() || WabunPatternFor(Folded(decomposed.front())).isEmpty()) {
        return QString(character);
    }
    QString signs;
    for (const QChar part : decomposed) {
        const QChar mark = MarkSign(part);
        signs += mark.isNull() ? Folded(part) : mark;
    }
    return signs;
}

}  // namespace

std::span<const WabunSign> WabunTable() {
    return kWabun;
}

QString WabunPatternFor(QChar sign) {
    for (const WabunSign& entry : kWabun) {
        if (entry.sign == sign) {
            return QString::fromLatin1(entry.pattern);
        }
    }
    return {};
}

QString WabunSigns(const QString& text) {
    QString signs;
    signs.reserve(text.size());
    for (const QChar character : text) {
        signs += SignsOfCharacter(character);
    }
    return signs;
}
