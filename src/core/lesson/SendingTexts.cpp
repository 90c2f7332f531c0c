#include "core/lesson/SendingTexts.h"

#include "core/kit/CopyAlignment.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kLetters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr QStringView kDigits = u"0123456789";

int Below(std::mt19937& random, int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(random);
}

QChar Pick(std::mt19937& random, QStringView from) {
    return from[Below(random, static_cast<int>(from.size()))];
}

}  // namespace

QString RandomGroup(std::mt19937& random, QStringView characters, int size) {
    QString group;
    if (characters.isEmpty()) {
        return group;
    }
    for (int i = 0; i < size; ++i) {
        group += Pick(random, characters);
    }
    return group;
}

QString RandomCallsign(std::mt19937& random) {
    QString call;
    if (Below(random, 4) == 0) {
        call += Pick(random, kDigits);
        call += Pick(random, kLetters);
    } else {
        call += Pick(random, kLetters);
        if (Below(random, 2) == 0) {
            call += Pick(random, kLetters);
        }
    }
    call += Pick(random, kDigits);
    const int suffix = 1 + Below(random, 3);
    for (int i = 0; i < suffix; ++i) {
        call += Pick(random, kLetters);
    }
    return call;
}

const QStringList& ContactWords() {
    static const QStringList kWords = {
        u"CQ"_s,  u"DE"_s,   u"K"_s,   u"KN"_s,    u"BK"_s,  u"R"_s,   u"TNX"_s, u"TU"_s,
        u"FER"_s, u"CALL"_s, u"UR"_s,  u"RST"_s,   u"599"_s, u"579"_s, u"5NN"_s, u"NAME"_s,
        u"QTH"_s, u"OP"_s,   u"HR"_s,  u"FB"_s,    u"OM"_s,  u"GM"_s,  u"GA"_s,  u"GE"_s,
        u"RIG"_s, u"ANT"_s,  u"WX"_s,  u"PWR"_s,   u"W"_s,   u"QSL"_s, u"QRZ"_s, u"QRM"_s,
        u"QRN"_s, u"QSB"_s,  u"QRS"_s, u"QRQ"_s,   u"QSO"_s, u"AGN"_s, u"PSE"_s, u"HW"_s,
        u"CPY"_s, u"ES"_s,   u"ALL"_s, u"SOLID"_s, u"73"_s,  u"GL"_s,  u"CUL"_s, u"SK"_s,
        u"DR"_s,  u"VY"_s,   u"NR"_s,  u"TEST"_s,
    };
    return kWords;
}

QString FoldedGroup(QStringView group) {
    return NormalizedCopy(group).remove(u' ');
}

bool SameGroup(QStringView given, QStringView keyed) {
    return FoldedGroup(given) == FoldedGroup(keyed);
}

SendingTexts::SendingTexts(Settings settings)
    : m_settings(std::move(settings)), m_random(m_settings.seed) {}

QString SendingTexts::pickWord(const QStringList& words) {
    if (words.isEmpty()) {
        return {};
    }
    return words.at(Below(m_random, static_cast<int>(words.size())));
}

QString SendingTexts::nextGroup() {
    switch (m_settings.source) {
        case SendingSource::Koch:
            return m_settings.kochCharacters.size() < 2
                       ? QString()
                       : RandomGroup(m_random, m_settings.kochCharacters, m_settings.groupSize);
        case SendingSource::Callsigns:
            return RandomCallsign(m_random);
        case SendingSource::Words:
            return pickWord(ContactWords());
        case SendingSource::File:
            return pickWord(m_settings.fileWords);
    }
    return {};
}

QString SendingTexts::nextText(int groups) {
    QStringList text;
    for (int i = 0; i < groups; ++i) {
        if (QString group = nextGroup(); !group.isEmpty()) {
            text << group;
        }
    }
    return text.join(u' ');
}
