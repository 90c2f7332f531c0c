#include "NominalTimeline.h"

#include <cmath>

namespace {

constexpr double kWaveSamplesPerMs = 44.1;

// lengthMs × factor in single precision, to whole ms, ties to even (the default rounding).
int Rounded(int lengthMs, float factor) {
    return static_cast<int>(std::nearbyint(static_cast<float>(lengthMs) * factor));
}

qint64 WholeSamples(float ms) {
    return static_cast<qint64>(std::nearbyint(kWaveSamplesPerMs * double(ms)));
}

bool IsLongSign(const LessonSign& sign) {
    return sign.name == u"AR" || sign.name == u"BT";
}

}  // namespace

NominalTimeline BeepTimeline(const QList<LessonSign>& signs, int unitMs, float factor) {
    NominalTimeline timeline;
    double at = 0;
    for (const LessonSign& sign : signs) {
        timeline.firstToneOfSign.append(sign.isWordPause() ? -1 : timeline.tones.size());
        if (sign.isWordPause()) {
            at += Rounded(4 * unitMs, factor);
            continue;
        }
        for (qsizetype i = 0; i < sign.pattern.size(); ++i) {
            const int length = Rounded(sign.pattern[i] == u'-' ? 3 * unitMs : unitMs, factor);
            timeline.tones.append({at, at + length});
            at += length;
            if (i + 1 < sign.pattern.size()) {
                at += Rounded(unitMs, factor);
            } else {
                at += Rounded((sign.name == u"BT" ? 7 : 3) * unitMs, factor);
            }
        }
    }
    timeline.lengthMs = at;
    return timeline;
}

NominalTimeline WaveTimeline(const QList<LessonSign>& signs, int unitMs, float factor,
                             double rampMs) {
    NominalTimeline timeline;
    const float half = factor * 0.5f;
    const qint64 lead = WholeSamples(static_cast<float>(unitMs) * factor);
    const double ramp = kWaveSamplesPerMs * rampMs;
    double at = 0;
    for (const LessonSign& sign : signs) {
        timeline.firstToneOfSign.append(sign.isWordPause() ? -1 : timeline.tones.size());
        if (sign.isWordPause()) {
            const int pause = Rounded(4 * unitMs, half);
            at += pause;
            if (!timeline.files.isEmpty()) {
                timeline.files.last().gapAfterMs += pause;
            }
            continue;
        }
        NominalFile file{sign.name, at, 0, 0, timeline.tones.size(), 0};
        qint64 samples = 0;
        for (const QChar element : sign.pattern) {
            const qint64 tone =
                WholeSamples(static_cast<float>(element == u'-' ? 3 * unitMs : unitMs) * factor);
            const double start = double(samples + lead) + ramp / 2;
            const double end = double(samples + lead + tone - 1) - ramp / 2;
            timeline.tones.append({at + start / kWaveSamplesPerMs, at + end / kWaveSamplesPerMs});
            samples += lead + tone;
        }
        file.firstToneOffsetMs = timeline.tones[file.firstTone].startMs - at;
        file.lengthMs = double(samples) / kWaveSamplesPerMs;
        file.gapAfterMs = Rounded((IsLongSign(sign) ? 7 : 3) * unitMs, half);
        at += file.lengthMs + file.gapAfterMs;
        timeline.files.append(file);
    }
    timeline.lengthMs = at;
    return timeline;
}
