#include "TimingTable.h"

#include <QMap>
#include <algorithm>
#include <cstdio>
#include <numeric>

namespace {

constexpr double kMedianTargetMs = 0.02;
constexpr double kMaxTargetMs = 0.05;
constexpr double kLowestCorrelation = 0.99;

void CheckErrors(const QList<double>& errors, const QString& what, QStringList& missed) {
    if (MedianMagnitude(errors) > kMedianTargetMs) {
        missed << what + QStringLiteral(" median");
    }
    if (MaxMagnitude(errors) > kMaxTargetMs) {
        missed << what + QStringLiteral(" max");
    }
}

QString Figure(double ms, int decimals = 3) {
    return QString::number(ms, 'f', decimals);
}

QString Pair(const QList<double>& errors) {
    return Figure(MedianMagnitude(errors)) + QStringLiteral(" / ") + Figure(MaxMagnitude(errors));
}

QString Percent(double share, int decimals = 1) {
    return QString::number(100 * share, 'f', decimals);
}

QString Signed(int value) {
    return value > 0 ? u'+' + QString::number(value) : QString::number(value);
}

void PrintCells(const QStringList& cells) {
    std::printf("| %s |\n", cells.join(QStringLiteral(" | ")).toUtf8().constData());
    std::fflush(stdout);
}

void PrintRule(qsizetype columns) {
    std::printf("|%s\n", QStringLiteral("---|").repeated(columns).toUtf8().constData());
}

QString SpeedText(const TimingRow& row) {
    return row.free ? row.free->text() + QStringLiteral(" WPM")
                    : QStringLiteral("%1/min").arg(row.speed);
}

QString Mean(const QList<double>& values) {
    if (values.isEmpty()) {
        return QStringLiteral("–");
    }
    return Figure(std::accumulate(values.begin(), values.end(), 0.0) / double(values.size()), 2);
}

QString LabelFigures(const QList<double>& delays) {
    if (delays.isEmpty()) {
        return QStringLiteral("–");
    }
    return Figure(Quantile(delays, 0.5), 1) + QStringLiteral(" / ") +
           Figure(*std::max_element(delays.begin(), delays.end()), 1);
}

}  // namespace

double Quantile(QList<double> values, double p) {
    if (values.isEmpty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<qsizetype>(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

QStringList MissedTargets(const TimingRow& row) {
    if (!row.error.isEmpty()) {
        return {row.error};
    }
    QStringList missed;
    const ToneComparison& tones = row.tones;
    if (tones.matched != tones.expected || tones.found != tones.expected) {
        missed << QStringLiteral("tones");
    }
    if (row.underruns > 0 || tones.holes > 0) {
        missed << QStringLiteral("holes");
    }
    if (row.soundOffs > 0) {
        missed << QStringLiteral("sound went off");
    }
    if (!row.inNoise) {
        CheckErrors(tones.edgeErrors, QStringLiteral("edge"), missed);
    }
    if (row.free && PublishedGapsHeld(*row.free, row.freeFigures) == false) {
        missed << QStringLiteral("25/4 gaps");
    }
    if (row.wave) {
        if (row.wave->filesChecked != row.wave->filesExpected ||
            (!row.inNoise && row.wave->lowestCorrelation < kLowestCorrelation)) {
            missed << QStringLiteral("WAV match");
        }
        if (!row.inNoise) {
            CheckErrors(row.wave->closingGapErrors, QStringLiteral("closing gap"), missed);
        }
    }
    return missed;
}

namespace {

QStringList HeaderCells() {
    return {QStringLiteral("mode"),
            QStringLiteral("speed"),
            QStringLiteral("adj"),
            QStringLiteral("condition"),
            QStringLiteral("tones paired/expected (found)"),
            QStringLiteral("underruns / holes"),
            QStringLiteral("edge err med / max ms"),
            QStringLiteral("tone length err med / max ms"),
            QStringLiteral("gap err med / max ms"),
            QStringLiteral("WAV corr min"),
            QStringLiteral("closing gap err med / max ms"),
            QStringLiteral("label after sound med / max ms"),
            QStringLiteral("program CPU %"),
            QStringLiteral("window ms / char"),
            QStringLiteral("machine busy %"),
            QStringLiteral("load"),
            QStringLiteral("s")};
}

// Every cell but the targets'; for a run that could not be made, up to its error.
QStringList RowCells(const TimingRow& row) {
    QStringList cells{row.mode, SpeedText(row), Signed(row.adjust), row.condition};
    if (!row.error.isEmpty()) {
        return cells << QStringLiteral("–") << row.error;
    }
    const ToneComparison& tones = row.tones;
    cells << QStringLiteral("%1/%2 (%3)").arg(tones.matched).arg(tones.expected).arg(tones.found)
          << QStringLiteral("%1 / %2").arg(row.underruns).arg(tones.holes) << Pair(tones.edgeErrors)
          << Pair(tones.lengthErrors) << Pair(tones.gapErrors);
    if (row.wave) {
        cells << QString::number(row.wave->lowestCorrelation, 'f', 5)
              << Pair(row.wave->closingGapErrors);
    } else {
        cells << QStringLiteral("–") << QStringLiteral("–");
    }
    cells << LabelFigures(row.labelDelays) << Percent(row.programCpu)
          << Figure(row.windowMsPerSign, 2) << Percent(row.machineBusy, 0)
          << Figure(row.loadAverage, 2) << Figure(row.seconds, 1);
    return cells;
}

QString TargetsCell(const TimingRow& row) {
    const QStringList missed = MissedTargets(row);
    return missed.isEmpty() ? QStringLiteral("met")
                            : QStringLiteral("MISSED: ") + missed.join(QStringLiteral(", "));
}

QString FreeGapsCell(const TimingRow& row) {
    const FreeFigures& figures = row.freeFigures;
    QString cell = Mean(figures.characterGapsMs) + QStringLiteral(" / ") + Mean(figures.wordGapsMs);
    if (const std::optional<bool> held = PublishedGapsHeld(*row.free, figures)) {
        cell += QStringLiteral(" (2133 / 4978 ±1: %1)")
                    .arg(*held ? QStringLiteral("yes") : QStringLiteral("NO"));
    }
    return cell;
}

}  // namespace

void PrintTableHeader() {
    const QStringList cells = HeaderCells() << QStringLiteral("targets");
    PrintCells(cells);
    PrintRule(cells.size());
}

void PrintRow(const TimingRow& row) {
    QStringList cells = RowCells(row);
    if (row.error.isEmpty()) {
        cells << TargetsCell(row);
    }
    PrintCells(cells);
}

void PrintFreeTableHeader() {
    const QStringList cells =
        HeaderCells() << QStringLiteral("elem / elem gap / char gap / word gap err max samples")
                      << QStringLiteral("PARIS err %") << QStringLiteral("char / word gap ms")
                      << QStringLiteral("targets");
    PrintCells(cells);
    PrintRule(cells.size());
}

void PrintFreeRow(const TimingRow& row) {
    QStringList cells = RowCells(row);
    if (row.error.isEmpty()) {
        const FreeFigures& figures = row.freeFigures;
        cells << QStringLiteral("%1 / %2 / %3 / %4")
                     .arg(Figure(figures.elementSamples, 2), Figure(figures.elementGapSamples, 2),
                          Figure(figures.characterGapSamples, 2), Figure(figures.wordGapSamples, 2))
              << (figures.parisErrorPercent ? QString::number(*figures.parisErrorPercent, 'f', 4)
                                            : QStringLiteral("–"))
              << FreeGapsCell(row) << TargetsCell(row);
    }
    PrintCells(cells);
}

void PrintSummary(const QString& condition, const QList<TimingRow>& rows) {
    QStringList readers;
    for (const TimingRow& row : rows) {
        if (!row.readerSummary.isEmpty()) {
            readers << QStringLiteral("- %1 %2 %3: %4")
                           .arg(row.mode, SpeedText(row), Signed(row.adjust), row.readerSummary);
        }
    }
    if (!readers.isEmpty()) {
        std::printf("\nWhat the reading client did during each lesson:\n%s\n",
                    readers.join(u'\n').toUtf8().constData());
    }
    std::printf(
        "\nSummary, %s: runs that met every target, and the worst of each figure over "
        "the runs\n\n",
        condition.toUtf8().constData());
    PrintCells({QStringLiteral("mode"), QStringLiteral("speed"), QStringLiteral("adj"),
                QStringLiteral("clean runs"), QStringLiteral("tones missing"),
                QStringLiteral("underruns / holes"), QStringLiteral("edge err med (worst)"),
                QStringLiteral("edge err max (worst)"), QStringLiteral("closing gap max (worst)"),
                QStringLiteral("label after sound p50 / p99 / max ms"),
                QStringLiteral("program CPU % (median)"),
                QStringLiteral("window ms / char (median)"),
                QStringLiteral("machine busy % (max)")});
    PrintRule(13);
    QMap<QString, QList<TimingRow>> groups;
    QStringList order;
    for (const TimingRow& row : rows) {
        const QString key =
            QStringLiteral("%1 %2 %3").arg(row.mode, SpeedText(row)).arg(row.adjust);
        if (!groups.contains(key)) {
            order << key;
        }
        groups[key] << row;
    }
    for (const QString& key : order) {
        const QList<TimingRow>& group = groups[key];
        int clean = 0;
        qsizetype missing = 0;
        int underruns = 0;
        int holes = 0;
        double worstMedian = 0;
        double worstMax = 0;
        double worstClosing = 0;
        QList<double> labels;
        QList<double> cpu;
        QList<double> window;
        double busiest = 0;
        for (const TimingRow& row : group) {
            clean += MissedTargets(row).isEmpty() ? 1 : 0;
            if (!row.error.isEmpty()) {
                continue;
            }
            missing += row.tones.expected - row.tones.matched;
            underruns += row.underruns;
            holes += row.tones.holes;
            worstMedian = std::max(worstMedian, MedianMagnitude(row.tones.edgeErrors));
            worstMax = std::max(worstMax, MaxMagnitude(row.tones.edgeErrors));
            if (row.wave) {
                worstClosing = std::max(worstClosing, MaxMagnitude(row.wave->closingGapErrors));
            }
            labels << row.labelDelays;
            cpu << row.programCpu;
            window << row.windowMsPerSign;
            busiest = std::max(busiest, row.machineBusy);
        }
        const TimingRow& first = group.first();
        PrintCells(
            {first.mode, SpeedText(first), Signed(first.adjust),
             QStringLiteral("%1 of %2").arg(clean).arg(group.size()), QString::number(missing),
             QStringLiteral("%1 / %2").arg(underruns).arg(holes), Figure(worstMedian),
             Figure(worstMax), first.wave ? Figure(worstClosing) : QStringLiteral("–"),
             labels.isEmpty() ? QStringLiteral("–")
                              : Figure(Quantile(labels, 0.5), 1) + QStringLiteral(" / ") +
                                    Figure(Quantile(labels, 0.99), 1) + QStringLiteral(" / ") +
                                    Figure(Quantile(labels, 1.0), 1),
             Percent(Quantile(cpu, 0.5)), Figure(Quantile(window, 0.5), 2), Percent(busiest, 0)});
    }
}
