#include "TimingTable.h"

#include <cstdio>

namespace {

constexpr double kMedianTargetMs = 0.1;
constexpr double kMaxTargetMs = 0.5;
constexpr double kLowestCorrelation = 0.99;

void CheckErrors(const QList<double>& errors, const QString& what, QStringList& missed) {
    if (MedianMagnitude(errors) > kMedianTargetMs) {
        missed << what + QStringLiteral(" median");
    }
    if (MaxMagnitude(errors) > kMaxTargetMs) {
        missed << what + QStringLiteral(" max");
    }
}

QString Figure(double ms) {
    return QString::number(ms, 'f', 3);
}

QString Pair(const QList<double>& errors) {
    return Figure(MedianMagnitude(errors)) + QStringLiteral(" / ") + Figure(MaxMagnitude(errors));
}

QString Count(const std::optional<int>& count) {
    return count ? QString::number(*count) : QStringLiteral("–");
}

QString Dropouts(const TimingRow& row) {
    return Count(row.underruns) + QStringLiteral(" / ") + Count(row.qtUnderflows) +
           QStringLiteral(" / ") + QString::number(row.tones.holes);
}

// Where Qt's logged underflows fell, printed under the table.
QStringList g_underflowNotes;

void NoteUnderflows(const TimingRow& row) {
    if (row.qtUnderflowAt.isEmpty()) {
        return;
    }
    QStringList at;
    for (const qint64 ms : row.qtUnderflowAt) {
        at << QStringLiteral("%1 ms").arg(ms);
    }
    g_underflowNotes << QStringLiteral(
                            "%1 %2 %3 %4 %5: Qt logged an underflow at %6 from the "
                            "lesson's start; the lesson lasted %7 ms")
                            .arg(row.source, row.mode, row.speed, row.adjust, row.load,
                                 at.join(QStringLiteral(", ")))
                            .arg(qRound64(row.seconds * 1000));
}

}  // namespace

QStringList MissedTargets(const TimingRow& row) {
    if (!row.error.isEmpty()) {
        return {row.error};
    }
    QStringList missed;
    const ToneComparison& tones = row.tones;
    if (tones.matched != tones.expected || tones.found != tones.expected) {
        missed << QStringLiteral("tones");
    }
    if (row.underruns.value_or(0) > 0 || row.qtUnderflows.value_or(0) > 0 || tones.holes > 0) {
        missed << QStringLiteral("dropouts");
    }
    if (row.soundOffs > 0) {
        missed << QStringLiteral("sound went off");
    }
    CheckErrors(tones.edgeErrors, QStringLiteral("edge"), missed);
    CheckErrors(tones.lengthErrors, QStringLiteral("tone"), missed);
    CheckErrors(tones.gapErrors, QStringLiteral("gap"), missed);
    if (row.wave) {
        if (row.wave->filesChecked != row.wave->filesExpected ||
            row.wave->lowestCorrelation < kLowestCorrelation) {
            missed << QStringLiteral("WAV match");
        }
        CheckErrors(row.wave->closingGapErrors, QStringLiteral("closing gap"), missed);
    }
    return missed;
}

void PrintTableHeader() {
    std::printf(
        "| source | mode | speed | unit ms | adj | load | tones paired/expected (found) | "
        "underruns counted / Qt log / holes | edge err med / max ms | tone length err med / max ms "
        "| "
        "gap err med / max ms | WAV corr min | closing gap err med / max ms | s | CPU %% | "
        "targets |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::fflush(stdout);
}

void PrintRow(const TimingRow& row) {
    QStringList cells{row.source, row.mode, row.speed, row.unitMs, row.adjust, row.load};
    if (!row.error.isEmpty()) {
        cells << QStringLiteral("–") << QStringLiteral("–") << QStringLiteral("–")
              << QStringLiteral("–") << QStringLiteral("–") << QStringLiteral("–")
              << QStringLiteral("–") << QStringLiteral("–") << QStringLiteral("–") << row.error;
    } else {
        const ToneComparison& tones = row.tones;
        cells
            << QStringLiteral("%1/%2 (%3)").arg(tones.matched).arg(tones.expected).arg(tones.found)
            << Dropouts(row) << Pair(tones.edgeErrors) << Pair(tones.lengthErrors)
            << Pair(tones.gapErrors);
        if (row.wave) {
            cells << QString::number(row.wave->lowestCorrelation, 'f', 5)
                  << Pair(row.wave->closingGapErrors);
        } else {
            cells << QStringLiteral("–") << QStringLiteral("–");
        }
        const QStringList missed = MissedTargets(row);
        cells << QString::number(row.seconds, 'f', 1)
              << QString::number(100 * row.machineBusy, 'f', 0)
              << (missed.isEmpty()
                      ? QStringLiteral("met")
                      : QStringLiteral("MISSED: ") + missed.join(QStringLiteral(", ")));
    }
    std::printf("| %s |\n", cells.join(QStringLiteral(" | ")).toUtf8().constData());
    std::fflush(stdout);
    NoteUnderflows(row);
}

void PrintNotes() {
    if (!g_underflowNotes.isEmpty()) {
        std::printf("\n%s\n", g_underflowNotes.join(QLatin1Char('\n')).toUtf8().constData());
    }
}
