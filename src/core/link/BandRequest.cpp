#include "core/link/BandRequest.h"

#include <QList>
#include <QLocale>
#include <QStringList>

#include "core/morse/BandConditionFields.h"

using namespace Qt::StringLiterals;

namespace {

const QString kBandPrefix = u"BAND1"_s;

// The words after the seed: each a key and its figures, the fields' figures in their order.
struct Word {
    QString key;
    qsizetype figures;
};
const QList<Word> kWords = {{u"n"_s, 2}, {u"f"_s, 2}, {u"q"_s, 5},
                            {u"c"_s, 3}, {u"h"_s, 2}, {u"k"_s, 3}};

QString Figure(const BandConditionField& field, const BandConditions& c) {
    const double figure = field.get(c);
    if (field.isWhole()) {
        return QString::number(static_cast<long long>(figure));
    }
    return QString::number(figure, 'g', QLocale::FloatingPointShortest);
}

// Sets the fields from first on that one word carries; false when the text is not exactly
// that word with figures each field admits.
bool ReadWord(QStringView text, const Word& word, qsizetype first, BandConditions& c) {
    if (!text.startsWith(word.key) || text.mid(word.key.size(), 1) != u"=") {
        return false;
    }
    const QList<QStringView> parts = text.mid(word.key.size() + 1).split(u',');
    if (parts.size() != word.figures) {
        return false;
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const BandConditionField& field = BandConditionFields()[first + i];
        bool ok = false;
        const double figure = parts[i].toDouble(&ok);
        if (!ok || parts[i].trimmed() != parts[i] || !field.admits(figure)) {
            return false;
        }
        field.set(c, figure);
    }
    return true;
}

// Digits only: Qt's own conversions also take a sign and white space around the number.
std::optional<quint64> Digits(QStringView text) {
    bool ok = !text.isEmpty();
    for (const QChar c : text) {
        ok = ok && c >= u'0' && c <= u'9';
    }
    const quint64 value = ok ? text.toULongLong(&ok) : 0;
    return ok ? std::optional(value) : std::nullopt;
}

}  // namespace

QString BandRequestPayload(const BandConditions& c) {
    QStringList words = {kBandPrefix, u"s=%1"_s.arg(c.seed)};
    qsizetype field = 0;
    for (const Word& word : kWords) {
        QStringList figures;
        for (qsizetype i = 0; i < word.figures; ++i) {
            figures << Figure(BandConditionFields()[field++], c);
        }
        words << word.key + u'=' + figures.join(u',');
    }
    return words.join(u' ');
}

std::optional<BandConditions> ParseBandRequestPayload(const QString& payload) {
    const QList<QStringView> words = QStringView(payload).split(u' ');
    if (words.size() != kWords.size() + 2 || words[0] != kBandPrefix ||
        !words[1].startsWith(u"s=")) {
        return std::nullopt;
    }
    BandConditions c;
    const std::optional<quint64> seed = Digits(words[1].mid(2));
    if (!seed) {
        return std::nullopt;
    }
    c.seed = *seed;
    qsizetype field = 0;
    for (qsizetype i = 0; i < kWords.size(); ++i) {
        if (!ReadWord(words[i + 2], kWords[i], field, c)) {
            return std::nullopt;
        }
        field += kWords[i].figures;
    }
    return c;
}

std::optional<BandConditions> ParseBandChoice(const QString& text, quint64 seedIfNone) {
    const QList<BandPreset> presets = BandPresets();
    const QStringList parts = text.split(u',');
    std::optional<BandConditions> chosen;
    const std::optional<quint64> number = Digits(parts[0]);
    if (number && *number < quint64(presets.size())) {
        chosen = presets[qsizetype(*number)].conditions;
    }
    for (const BandPreset& preset : presets) {
        if (preset.name == parts[0]) {
            chosen = preset.conditions;
        }
    }
    if (!chosen || parts.size() > 2) {
        return std::nullopt;
    }
    chosen->seed = seedIfNone;
    if (parts.size() == 2) {
        const std::optional<quint64> seed =
            parts[1].startsWith(u"seed="_s) ? Digits(QStringView(parts[1]).mid(5)) : std::nullopt;
        if (!seed) {
            return std::nullopt;
        }
        chosen->seed = *seed;
    }
    return chosen;
}
