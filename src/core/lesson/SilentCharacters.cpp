#include "core/lesson/SilentCharacters.h"

#include "core/morse/CharacterDispatch.h"

using namespace Qt::StringLiterals;

namespace {

QString NameOf(char32_t code) {
    switch (code) {
        case U'\r':
        case U'\n':
            return u"改行"_s;
        case U'\t':
            return u"タブ"_s;
        case U'\u3000':
            return u"全角スペース"_s;
        default:
            break;
    }
    if (QChar::isPrint(code) && !QChar::isSpace(code)) {
        return u"「"_s + QString::fromUcs4(&code, 1) + u"」"_s;
    }
    return u"U+%1"_s.arg(static_cast<uint>(code), 4, 16, QChar(u'0')).toUpper();
}

}  // namespace

QStringList SilentCharacters(const QString& question) {
    QStringList names;
    for (qsizetype i = 0; i < question.size(); ++i) {
        const QChar unit = question[i];
        if (LookUpCharacter(unit, CharacterTable::Question)) {
            continue;
        }
        char32_t code = unit.unicode();
        if (unit.isHighSurrogate() && i + 1 < question.size() && question[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(unit, question[++i]);
        }
        const QString name = NameOf(code);
        if (!names.contains(name)) {
            names.append(name);
        }
    }
    return names;
}
