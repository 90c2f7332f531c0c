#include "core/morse/FreeSpeed.h"

#include <QRegularExpression>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

bool InRange(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

}  // namespace

bool FreeSpeed::isValid() const {
    return InRange(characterWpm, kLowestWpm, kHighestWpm) &&
           (effectiveWpm == 0 || InRange(effectiveWpm, kLowestWpm / 5, kHighestWpm)) &&
           InRange(extraWordUnits, 0, kMostExtraWordUnits);
}

FreeSpeedTimes TimesFor(const FreeSpeed& speed) {
    const double c = speed.characterWpm;
    const double unit = 1200.0 / c;
    FreeSpeedTimes times{unit, 3 * unit, 7 * unit};
    if (speed.stretched()) {
        const double s = speed.effectiveWpm;
        const double spacingMs = (60 * c - 37.2 * s) / (c * s) * 1000;
        times.characterGapMs = 3 * spacingMs / 19;
        times.wordGapMs = 7 * spacingMs / 19;
    }
    times.wordGapMs += speed.extraWordUnits * unit;
    return times;
}

int CharactersPerMinuteFor(double wpm) {
    // 60000 / (11 x 1200 / wpm)
    return static_cast<int>(std::lround(wpm * 50 / 11));
}

double HeardWpm(const FreeSpeed& speed) {
    const double unit = 1200.0 / speed.characterWpm;
    const double wordMs =
        (speed.stretched() ? 60000 / speed.effectiveWpm : 50 * unit) + speed.extraWordUnits * unit;
    return 60000 / wordMs;
}

QString FreeSpeedText(const FreeSpeed& speed) {
    QString text = QStringLiteral("%1 WPM").arg(QString::number(speed.characterWpm, 'g', 4));
    if (speed.stretched()) {
        text += QStringLiteral(" 実効%1 WPM").arg(QString::number(speed.effectiveWpm, 'g', 4));
    }
    if (speed.extraWordUnits > 0) {
        text += QStringLiteral(" 語間+%1").arg(QString::number(speed.extraWordUnits, 'g', 3));
    }
    return text + QStringLiteral("（毎分%1文字）").arg(CharactersPerMinuteFor(HeardWpm(speed)));
}

QString FreeSpeedFigures(const FreeSpeed& speed) {
    return QStringLiteral("c=%1 e=%2 w=%3")
        .arg(QString::number(speed.characterWpm), QString::number(speed.effectiveWpm),
             QString::number(speed.extraWordUnits));
}

std::optional<FreeSpeed> ParseFreeSpeedFigures(QStringView text) {
    // At most two digits before the point and three after it: every valid figure, nothing long.
    // \z, not $: $ also matches before a final line feed.
    static const QRegularExpression kForm(QStringLiteral(
        R"(^c=([0-9]{1,2}(?:\.[0-9]{1,3})?) e=([0-9]{1,2}(?:\.[0-9]{1,3})?) w=([0-9]{1,2}(?:\.[0-9]{1,3})?)\z)"));
    const QRegularExpressionMatch match = kForm.match(text.toString());
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    FreeSpeed speed;
    speed.characterWpm = match.capturedView(1).toDouble();
    speed.effectiveWpm = match.capturedView(2).toDouble();
    speed.extraWordUnits = match.capturedView(3).toDouble();
    if (!speed.isValid()) {
        return std::nullopt;
    }
    return speed;
}

int NearestFixedSpeed(const FreeSpeed& speed) {
    const int perMinute = CharactersPerMinuteFor(speed.characterWpm);
    int nearest = 25;
    for (const int fixed : std::array{25, 45, 60}) {
        if (std::abs(fixed - perMinute) < std::abs(nearest - perMinute)) {
            nearest = fixed;
        }
    }
    return nearest;
}

qint64 ExactPlace::advance(qint64 position, double startFraction, double exactSamples) {
    const double exactEnd = startFraction + exactSamples;
    const qint64 whole = std::llround(exactEnd);
    next = position + whole;
    fraction = exactEnd - double(whole);
    return whole;
}

CharacterEdges EdgesFor(QLatin1StringView pattern, const FreeSpeedTimes& times, Closing closing,
                        int sampleRate, double startFraction) {
    const double perMs = sampleRate / 1000.0;
    const auto edge = [&](double ms) { return std::llround(startFraction + ms * perMs); };
    CharacterEdges edges;
    double at = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (i > 0) {
            at += times.unitMs;
        }
        edges.toneStarts.append(edge(at));
        at += (pattern[i] == u'-' ? 3 : 1) * times.unitMs;
        edges.toneEnds.append(edge(at));
    }
    const double closingMs = closing == Closing::WordGap ? times.wordGapMs : times.characterGapMs;
    const double exactEnd = startFraction + (at + closingMs) * perMs;
    edges.end = std::llround(exactEnd);
    edges.endFraction = exactEnd - double(edges.end);
    return edges;
}

double WordPauseSamples(const FreeSpeedTimes& times, int sampleRate) {
    return (times.wordGapMs - times.characterGapMs) * sampleRate / 1000.0;
}
