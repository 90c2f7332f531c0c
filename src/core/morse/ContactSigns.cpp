#include "core/morse/ContactSigns.h"

#include "core/morse/MorseTable.h"

namespace {

// What the sound table's signs are written as; letters and digits are their own stems.
QString SeedText(const MorseSymbol& symbol) {
    switch (symbol.id) {
        case SymbolId::KN:
            return QStringLiteral("<KN>");
        case SymbolId::AR:
            return QStringLiteral("<AR>");
        case SymbolId::BT:
            return QStringLiteral("<BT>");
        case SymbolId::Period:
        case SymbolId::Slash:
        case SymbolId::Question:
            return QString::fromLatin1(symbol.recordedWave);
        default:
            return QString::fromLatin1(symbol.fileStem);
    }
}

struct Extra {
    const char* text;
    const char* pattern;
};

constexpr Extra kExtras[] = {
    {",", "--..--"},   {"'", ".----."},    {"-", "-....-"},      {")", "-.--.-"},
    {":", "---..."},   {";", "-.-.-."},    {"\"", ".-..-."},     {"@", ".--.-."},
    {"!", "-.-.--"},   {"<SK>", "...-.-"}, {"<BK>", "-...-.-"},  {"<AS>", ".-..."},
    {"<KA>", "-.-.-"}, {"<VE>", "...-."},  {"<HH>", "........"}, {"<SOS>", "...---..."},
};

struct Alias {
    char16_t character;
    const char* text;
};

constexpr Alias kAliases[] = {{u'=', "<BT>"}, {u'+', "<AR>"}, {u'(', "<KN>"}, {u'&', "<AS>"}};

QList<ContactSign> Build() {
    QList<ContactSign> signs;
    for (const MorseSymbol& symbol : MorseTable()) {
        signs.append({SeedText(symbol), QString::fromLatin1(symbol.pattern)});
    }
    for (const Extra& extra : kExtras) {
        signs.append({QString::fromLatin1(extra.text), QString::fromLatin1(extra.pattern)});
    }
    return signs;
}

}  // namespace

const QList<ContactSign>& ContactSigns() {
    static const QList<ContactSign> signs = Build();
    return signs;
}

QString PatternForSign(QStringView text) {
    QString wanted = text.toString().toUpper();
    for (const Alias& alias : kAliases) {
        if (text.size() == 1 && text.front() == alias.character) {
            wanted = QString::fromLatin1(alias.text);
        }
    }
    for (const ContactSign& sign : ContactSigns()) {
        if (sign.text == wanted) {
            return sign.pattern;
        }
    }
    return {};
}

QString SignForPattern(QStringView pattern) {
    for (const ContactSign& sign : ContactSigns()) {
        if (sign.pattern == pattern) {
            return sign.text;
        }
    }
    return {};
}
