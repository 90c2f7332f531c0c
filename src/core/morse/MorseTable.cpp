#include "core/morse/MorseTable.h"

namespace {

constexpr std::array<MorseSymbol, kSymbolCount> kTable = {{
    {SymbolId::A, ".-", "A", "A", "A"},
    {SymbolId::B, "-...", "B", "B", "B"},
    {SymbolId::C, "-.-.", "C", "C", "C"},
    {SymbolId::D, "-..", "D", "D", "D"},
    {SymbolId::E, ".", "E", "E", "E"},
    {SymbolId::F, "..-.", "F", "F", "F"},
    {SymbolId::G, "--.", "G", "G", "G"},
    {SymbolId::H, "....", "H", "H", "H"},
    {SymbolId::I, "..", "I", "I", "I"},
    {SymbolId::J, ".---", "J", "J", "J"},
    {SymbolId::K, "-.-", "K", "K", "K"},
    {SymbolId::L, ".-..", "L", "L", "L"},
    {SymbolId::M, "--", "M", "M", "M"},
    {SymbolId::N, "-.", "N", "N", "N"},
    {SymbolId::O, "---", "O", "O", "O"},
    {SymbolId::P, ".--.", "P", "P", "P"},
    {SymbolId::Q, "--.-", "Q", "Q", "Q"},
    {SymbolId::R, ".-.", "R", "R", "R"},
    {SymbolId::S, "...", "S", "S", "S"},
    {SymbolId::T, "-", "T", "T", "T"},
    {SymbolId::U, "..-", "U", "U", "U"},
    {SymbolId::V, "...-", "V", "V", "V"},
    {SymbolId::W, ".--", "W", "W", "W"},
    {SymbolId::X, "-..-", "X", "X", "X"},
    {SymbolId::Y, "-.--", "Y", "Y", "Y"},
    {SymbolId::Z, "--..", "Z", "Z", "Z"},
    {SymbolId::Num1, ".----", "1", "1", "1"},
    {SymbolId::Num2, "..---", "2", "2", "2"},
    {SymbolId::Num3, "...--", "3", "3", "3"},
    {SymbolId::Num4, "....-", "4", "4", "4"},
    {SymbolId::Num5, ".....", "5", "5", "5"},
    {SymbolId::Num6, "-....", "6", "6", "6"},
    {SymbolId::Num7, "--...", "7", "7", "7"},
    {SymbolId::Num8, "---..", "8", "8", "8"},
    {SymbolId::Num9, "----.", "9", "9", "9"},
    {SymbolId::Num0, "-----", "0", "0", "0"},
    {SymbolId::KN, "-.--.", "KN", nullptr, nullptr},
    {SymbolId::AR, ".-.-.", "AR", nullptr, nullptr},
    {SymbolId::Period, ".-.-.-", "Period", nullptr, "."},
    {SymbolId::Slash, "-..-.", "Surash", nullptr, "/"},
    {SymbolId::BT, "-...-", "BT", nullptr, "="},
    {SymbolId::Question, "..--..", "Question", nullptr, "?"},
}};

}  // namespace

const std::array<MorseSymbol, kSymbolCount>& MorseTable() {
    return kTable;
}

const MorseSymbol& MorseSymbolFor(SymbolId id) {
    return kTable[static_cast<std::size_t>(id)];
}

std::optional<SymbolId> SymbolForAlphanumeric(QChar character) {
    // Only ASCII letters: some other letters (dotless i, long s) upper-case to them.
    const char16_t c = character.unicode();
    if (c >= u'A' && c <= u'Z') {
        return static_cast<SymbolId>(c - u'A');
    }
    if (c >= u'a' && c <= u'z') {
        return static_cast<SymbolId>(c - u'a');
    }
    if (c == u'0') {
        return SymbolId::Num0;
    }
    if (c >= u'1' && c <= u'9') {
        return static_cast<SymbolId>(static_cast<int>(SymbolId::Num1) + (c - u'1'));
    }
    return std::nullopt;
}

QString SoundFileName(SymbolId id) {
    return QString::fromLatin1(MorseSymbolFor(id).fileStem) + QStringLiteral(".wav");
}
