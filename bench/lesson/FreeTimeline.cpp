#include "FreeTimeline.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kWaveSamplesPerMs = 44.1;
constexpr double kLowestWpm = 5;
constexpr double kHighestWpm = 60;
constexpr double kLowestEffectiveWpm = 1;
constexpr double kMostExtraUnits = 30;

bool Within(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

double LengthMs(const ToneEdges& tone) {
    return tone.endMs - tone.startMs;
}

void KeepLargest(double& largest, double errorMs, double samplesPerMs) {
    largest = std::max(largest, std::abs(errorMs) * samplesPerMs);
}

// The first sign of a word PARIS with one word pause after it and a sounded sign after that;
// -1 when there is none. What comes before it does not change its length.
qsizetype ParisWord(const QList<LessonSign>& signs) {
    const QString paris = QStringLiteral("PARIS");
    for (qsizetype k = 0; k + 6 < signs.size(); ++k) {
        bool match = true;
        for (qsizetype i = 0; i < paris.size(); ++i) {
            match = match && signs[k + i].name == paris[i];
        }
        if (match && signs[k + 5].isWordPause() && !signs[k + 6].isWordPause()) {
            return k;
        }
    }
    return -1;
}

}  // namespace

QString FreeLessonSpeed::text() const {
    QString text = QString::number(characterWpm);
    if (effectiveWpm > 0) {
        text += u'/' + QString::number(effectiveWpm);
    }
    if (extraWordUnits > 0) {
        text += u'+' + QString::number(extraWordUnits);
    }
    return text;
}

std::optional<FreeLessonSpeed> ParseFreeLessonSpeed(const QString& text) {
    static const QRegularExpression kForm(QStringLiteral(
        R"(^([0-9]+(?:\.[0-9]+)?)(?:/([0-9]+(?:\.[0-9]+)?))?(?:\+([0-9]+(?:\.[0-9]+)?))?$)"));
    const QRegularExpressionMatch match = kForm.match(text.trimmed());
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    FreeLessonSpeed speed;
    speed.characterWpm = match.captured(1).toDouble();
    speed.effectiveWpm = match.hasCaptured(2) ? match.captured(2).toDouble() : 0;
    speed.extraWordUnits = match.hasCaptured(3) ? match.captured(3).toDouble() : 0;
    if (!Within(speed.characterWpm, kLowestWpm, kHighestWpm) ||
        (speed.effectiveWpm != 0 &&
         !Within(speed.effectiveWpm, kLowestEffectiveWpm, kHighestWpm)) ||
        !Within(speed.extraWordUnits, 0, kMostExtraUnits)) {
        return std::nullopt;
    }
    return speed;
}

FreeGaps FormulaGaps(const FreeLessonSpeed& speed) {
    const double c = speed.characterWpm;
    FreeGaps gaps;
    gaps.unitMs = 1200.0 / c;
    gaps.characterGapMs = 3 * gaps.unitMs;
    gaps.wordGapMs = 7 * gaps.unitMs;
    if (speed.stretched()) {
        const double s = speed.effectiveWpm;
        const double wordSpacingMs = 1000 * (60 * c - 37.2 * s) / (c * s);
        gaps.characterGapMs = 3 * wordSpacingMs / 19;
        gaps.wordGapMs = 7 * wordSpacingMs / 19;
    }
    gaps.wordGapMs += speed.extraWordUnits * gaps.unitMs;
    return gaps;
}

FreeTimeline FreeLessonTimeline(const QList<LessonSign>& signs, const FreeGaps& gaps,
                                std::optional<double> waveRampMs) {
    FreeTimeline out;
    NominalTimeline& timeline = out.nominal;
    // A WAV tone's ramps lie across its exact edges, held to half a unit in an even number of
    // samples: it is at half amplitude half a ramp after each edge, and its file holds a ramp and
    // a sample more than the elements.
    const double ramp =
        waveRampMs
            ? 2 * std::round(std::min(*waveRampMs, gaps.unitMs / 2) * kWaveSamplesPerMs / 2) /
                  kWaveSamplesPerMs
            : 0;
    const double rise = ramp / 2;
    const double tail = ramp > 0 ? ramp + 1 / kWaveSamplesPerMs : 0;
    double at = 0;
    double silence = 0;  // since the last element's exact end
    bool afterPause = false;
    for (const LessonSign& sign : signs) {
        timeline.firstToneOfSign.append(sign.isWordPause() ? -1 : timeline.tones.size());
        if (sign.isWordPause()) {
            // The character before closed with a character gap: the pause makes it a word gap.
            const double pause = gaps.wordGapMs - gaps.characterGapMs;
            at += pause;
            silence += pause;
            if (!timeline.files.isEmpty()) {
                timeline.files.last().gapAfterMs += pause;
            }
            afterPause = true;
            continue;
        }
        // BT, and in WAV mode AR, close with the word gap.
        const bool wordClose = sign.name == u"BT" || (waveRampMs && sign.name == u"AR");
        const double closing = wordClose ? gaps.wordGapMs : gaps.characterGapMs;
        NominalFile file{sign.name, at, 0, closing - tail, timeline.tones.size(), rise};
        double inside = 0;  // from the character's start
        for (qsizetype i = 0; i < sign.pattern.size(); ++i) {
            GapBefore before{GapKind::Element, gaps.unitMs};
            if (i > 0) {
                inside += gaps.unitMs;
            } else if (timeline.tones.isEmpty()) {
                before = {GapKind::None, 0};
            } else {
                before = {afterPause ? GapKind::Word : GapKind::Character, silence};
            }
            const double length = (sign.pattern[i] == u'-' ? 3 : 1) * gaps.unitMs;
            timeline.tones.append({at + inside + rise, at + inside + length + rise});
            out.gapBefore.append(before);
            inside += length;
        }
        file.lengthMs = inside + tail;
        at += inside + closing;
        silence = closing;
        afterPause = wordClose;
        if (waveRampMs) {
            timeline.files.append(file);
        }
    }
    timeline.lengthMs = at;
    return out;
}

FreeFigures MeasureFree(const ToneComparison& tones, const FreeTimeline& timeline,
                        const QList<LessonSign>& signs, const FreeLessonSpeed& speed,
                        const FreeGaps& gaps, int recordingRate) {
    FreeFigures figures;
    const double perMs = recordingRate / 1000.0;
    const QList<ToneEdges>& nominal = timeline.nominal.tones;
    for (qsizetype i = 0; i < nominal.size(); ++i) {
        const qsizetype j = tones.pairOf.value(i, -1);
        if (j < 0) {
            continue;
        }
        const ToneEdges& got = tones.joined[j];
        KeepLargest(figures.elementSamples, LengthMs(got) - LengthMs(nominal[i]), perMs);
        const qsizetype before = i > 0 ? tones.pairOf.value(i - 1, -1) : -1;
        if (before < 0) {
            continue;
        }
        const double error = (got.startMs - tones.joined[before].endMs) -
                             (nominal[i].startMs - nominal[i - 1].endMs);
        const GapBefore& gap = timeline.gapBefore[i];
        switch (gap.kind) {
            case GapKind::Element:
                KeepLargest(figures.elementGapSamples, error, perMs);
                break;
            case GapKind::Character:
                KeepLargest(figures.characterGapSamples, error, perMs);
                figures.characterGapsMs << gap.exactMs + error;
                break;
            case GapKind::Word:
                KeepLargest(figures.wordGapSamples, error, perMs);
                figures.wordGapsMs << gap.exactMs + error;
                break;
            case GapKind::None:
                break;
        }
    }
    const qsizetype paris = ParisWord(signs);
    if (paris >= 0) {
        const qsizetype first = tones.pairOf.value(timeline.nominal.firstToneOfSign[paris], -1);
        const qsizetype next = tones.pairOf.value(timeline.nominal.firstToneOfSign[paris + 6], -1);
        if (first >= 0 && next >= 0) {
            // A PARIS word, its gaps and the word gap after it, lasts a minute over the words a
            // minute: the effective speed when stretched.
            const double wpm = speed.stretched() ? speed.effectiveWpm : speed.characterWpm;
            const double expected = 60000 / wpm + speed.extraWordUnits * gaps.unitMs;
            const double measured = tones.joined[next].startMs - tones.joined[first].startMs;
            figures.parisErrorPercent = 100 * (measured - expected) / expected;
        }
    }
    return figures;
}

std::optional<bool> PublishedGapsHeld(const FreeLessonSpeed& speed, const FreeFigures& figures) {
    if (speed.characterWpm != 25 || speed.effectiveWpm != 4 || speed.extraWordUnits != 0) {
        return std::nullopt;
    }
    const auto near = [](const QList<double>& gaps, double publishedMs) {
        return !gaps.isEmpty() && std::all_of(gaps.begin(), gaps.end(), [&](double gap) {
            return std::abs(gap - publishedMs) <= 1;
        });
    };
    return near(figures.characterGapsMs, 2133) && near(figures.wordGapsMs, 4978);
}

int FreeWaveQuality(double unitMs) {
    return unitMs >= 2 * RampMsForQuality(3) ? 3 : 4;
}

double RampMsForQuality(int quality) {
    return quality == 3 ? 20 : 8;
}
