#include "LessonSigns.h"

#include <QHash>

namespace {

// International Morse, written out here rather than taken from the program's table, so that
// a wrong pattern there shows as a mismatch.
const QHash<QString, QString>& Patterns() {
    static const QHash<QString, QString> patterns = {
        {QStringLiteral("A"), QStringLiteral(".-")},
        {QStringLiteral("B"), QStringLiteral("-...")},
        {QStringLiteral("C"), QStringLiteral("-.-.")},
        {QStringLiteral("D"), QStringLiteral("-..")},
        {QStringLiteral("E"), QStringLiteral(".")},
        {QStringLiteral("F"), QStringLiteral("..-.")},
        {QStringLiteral("G"), QStringLiteral("--.")},
        {QStringLiteral("H"), QStringLiteral("....")},
        {QStringLiteral("I"), QStringLiteral("..")},
        {QStringLiteral("J"), QStringLiteral(".---")},
        {QStringLiteral("K"), QStringLiteral("-.-")},
        {QStringLiteral("L"), QStringLiteral(".-..")},
        {QStringLiteral("M"), QStringLiteral("--")},
        {QStringLiteral("N"), QStringLiteral("-.")},
        {QStringLiteral("O"), QStringLiteral("---")},
        {QStringLiteral("P"), QStringLiteral(".--.")},
        {QStringLiteral("Q"), QStringLiteral("--.-")},
        {QStringLiteral("R"), QStringLiteral(".-.")},
        {QStringLiteral("S"), QStringLiteral("...")},
        {QStringLiteral("T"), QStringLiteral("-")},
        {QStringLiteral("U"), QStringLiteral("..-")},
        {QStringLiteral("V"), QStringLiteral("...-")},
        {QStringLiteral("W"), QStringLiteral(".--")},
        {QStringLiteral("X"), QStringLiteral("-..-")},
        {QStringLiteral("Y"), QStringLiteral("-.--")},
        {QStringLiteral("Z"), QStringLiteral("--..")},
        {QStringLiteral("1"), QStringLiteral(".----")},
        {QStringLiteral("2"), QStringLiteral("..---")},
        {QStringLiteral("3"), QStringLiteral("...--")},
        {QStringLiteral("4"), QStringLiteral("....-")},
        {QStringLiteral("5"), QStringLiteral(".....")},
        {QStringLiteral("6"), QStringLiteral("-....")},
        {QStringLiteral("7"), QStringLiteral("--...")},
        {QStringLiteral("8"), QStringLiteral("---..")},
        {QStringLiteral("9"), QStringLiteral("----.")},
        {QStringLiteral("0"), QStringLiteral("-----")},
        {QStringLiteral("BT"), QStringLiteral("-...-")},
        {QStringLiteral("AR"), QStringLiteral(".-.-.")},
    };
    return patterns;
}

LessonSign Sign(const QString& name) {
    return {name, Patterns().value(name)};
}

const LessonSign kWordPause{QStringLiteral(" "), QString()};

void AppendCallUp(QList<LessonSign>& signs) {
    for (const char* name : {"H", "R", "H", "R", "BT"}) {
        signs.append(Sign(QString::fromLatin1(name)));
    }
}

// Letters, digits and spaces; anything else is no part of these lessons.
void AppendQuestion(QList<LessonSign>& signs, const QString& question) {
    for (const QChar character : question) {
        if (character == u' ') {
            signs.append(kWordPause);
        } else if (Patterns().contains(QString(character.toUpper()))) {
            signs.append(Sign(QString(character.toUpper())));
        }
    }
}

}  // namespace

QList<LessonSign> NormalLessonSigns(const QString& question) {
    QList<LessonSign> signs;
    AppendCallUp(signs);
    AppendQuestion(signs, question);
    signs.append(Sign(QStringLiteral("AR")));
    return signs;
}
