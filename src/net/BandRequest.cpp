#include "net/BandRequest.h"

#include <QList>
#include <QLocale>
#include <QStringList>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kPrefix = u"BAND1"_s;

struct Range {
    double low;
    double high;
};

// Each field's key and the ranges of its figures, in the order they are sent.
struct Field {
    QString key;
    QList<Range> ranges;
};

const QList<Field>& Fields() {
    static const Range kFlag{0, 1};
    static const QList<Field> kFields = {
        {u"n"_s, {kFlag, {-10, 60}}},
        {u"f"_s, {kFlag, {0.05, 30}}},
        {u"q"_s, {{0, BandConditions::kMostStations}, {100, 1500}, {5, 60}, {5, 60}, {-40, 20}}},
        {u"c"_s, {kFlag, {0, 10}, {-30, 20}}},
        {u"h"_s, {kFlag, {0, 200}}},
        {u"k"_s, {kFlag, {0, 40}, {-40, 40}}},
    };
    return kFields;
}

QString Figure(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The figures of one field, or nothing when the text is not exactly that field.
std::optional<std::vector<double>> ReadField(QStringView text, const Field& field) {
    if (!text.startsWith(field.key) || text.mid(field.key.size(), 1) != u"=") {
        return std::nullopt;
    }
    const QList<QStringView> parts = text.mid(field.key.size() + 1).split(u',');
    if (parts.size() != field.ranges.size()) {
        return std::nullopt;
    }
    std::vector<double> figures;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const double value = parts[i].toDouble(&ok);
        const Range& range = field.ranges[i];
        // Also refuses NaN, which compares false with both ends.
        if (!ok || parts[i].trimmed() != parts[i] || !(value >= range.low && value <= range.high)) {
            return std::nullopt;
        }
        figures.push_back(value);
    }
    return figures;
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

bool IsWhole(double value) {
    return value == static_cast<double>(static_cast<long long>(value));
}

}  // namespace

QString BandRequestPayload(const BandConditions& c) {
    const auto flag = [](bool on) { return on ? u"1"_s : u"0"_s; };
    return u"%1 s=%2 n=%3,%4 f=%5,%6 q=%7,%8,%9,%10,%11 c=%12,%13,%14 h=%15,%16 k=%17,%18,%19"_s
        .arg(kPrefix, QString::number(c.seed), flag(c.noiseOn), Figure(c.snrDb), flag(c.fadingOn),
             Figure(c.fadingHz), QString::number(c.stationCount),
             QString::number(c.stationSpreadHz), QString::number(c.stationWpmLow))
        .arg(QString::number(c.stationWpmHigh), Figure(c.stationLevelDb), flag(c.crashesOn),
             Figure(c.crashesPerSecond), Figure(c.crashDb), flag(c.chirpOn), Figure(c.chirpHz),
             flag(c.fistOn), Figure(c.jitterPercent))
        .arg(Figure(c.weightPercent));
}

std::optional<BandConditions> ParseBandRequestPayload(const QString& payload) {
    const QList<QStringView> words = QStringView(payload).split(u' ');
    const QList<Field>& fields = Fields();
    if (words.size() != fields.size() + 2 || words[0] != kPrefix || !words[1].startsWith(u"s=")) {
        return std::nullopt;
    }
    BandConditions c;
    const std::optional<quint64> seed = Digits(words[1].mid(2));
    if (!seed) {
        return std::nullopt;
    }
    c.seed = *seed;
    std::vector<std::vector<double>> figures;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        std::optional<std::vector<double>> read = ReadField(words[i + 2], fields[i]);
        if (!read) {
            return std::nullopt;
        }
        figures.push_back(std::move(*read));
    }
    const auto flag = [](double value) { return value == 1; };
    const std::vector<double>& q = figures[2];
    if (!IsWhole(figures[0][0]) || !IsWhole(figures[1][0]) || !IsWhole(figures[3][0]) ||
        !IsWhole(figures[4][0]) || !IsWhole(figures[5][0]) || !IsWhole(q[0]) || !IsWhole(q[1]) ||
        !IsWhole(q[2]) || !IsWhole(q[3])) {
        return std::nullopt;
    }
    c.noiseOn = flag(figures[0][0]);
    c.snrDb = figures[0][1];
    c.fadingOn = flag(figures[1][0]);
    c.fadingHz = figures[1][1];
    c.stationCount = static_cast<int>(q[0]);
    c.stationSpreadHz = static_cast<int>(q[1]);
    c.stationWpmLow = static_cast<int>(q[2]);
    c.stationWpmHigh = static_cast<int>(q[3]);
    c.stationLevelDb = q[4];
    c.crashesOn = flag(figures[3][0]);
    c.crashesPerSecond = figures[3][1];
    c.crashDb = figures[3][2];
    c.chirpOn = flag(figures[4][0]);
    c.chirpHz = figures[4][1];
    c.fistOn = flag(figures[5][0]);
    c.jitterPercent = figures[5][1];
    c.weightPercent = figures[5][2];
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
