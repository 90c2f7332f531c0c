#include "WaveFileCheck.h"

#include <QHash>
#include <algorithm>
#include <optional>

namespace {

// Less than half a period of the 800 Hz tone either way, so the match cannot slip a period.
constexpr double kSearchMs = 0.5;

}  // namespace

WaveFileCheck CheckWaveFiles(const Recording& recording, const NominalTimeline& nominal,
                             const ToneComparison& tones,
                             const std::function<QString(const QString&)>& filePath) {
    WaveFileCheck check;
    check.filesExpected = static_cast<int>(nominal.files.size());
    check.lowestCorrelation = 1;
    QHash<QString, Recording> files;
    // Where each file starts in the recording, from its samples; nothing when not found.
    QList<std::optional<double>> starts;
    QList<double> lengths;  // ms of each file as written
    for (const NominalFile& file : nominal.files) {
        const qsizetype recorded = tones.pairOf.value(file.firstTone, -1);
        if (!files.contains(file.name)) {
            files.insert(file.name, ReadWav(filePath(file.name)));
        }
        const Recording& samples = files[file.name];
        lengths.append(samples.sampleRate > 0 ? samples.samples.size() * 1000.0 / samples.sampleRate
                                              : 0);
        if (recorded < 0 || samples.samples.isEmpty()) {
            starts.append(std::nullopt);
            check.lowestCorrelation = 0;
            continue;
        }
        const double nearMs = tones.joined[recorded].startMs - file.firstToneOffsetMs;
        const SamplesMatch match = MatchSamples(recording, samples, nearMs, kSearchMs);
        starts.append(match.startMs);
        check.lowestCorrelation = std::min(check.lowestCorrelation, match.correlation);
        ++check.filesChecked;
    }
    check.startsMs = starts;
    // The last file's closing gap ends in silence: nothing bounds it.
    for (qsizetype i = 0; i + 1 < nominal.files.size(); ++i) {
        if (starts[i] && starts[i + 1]) {
            check.closingGapErrors.append(*starts[i + 1] - *starts[i] - lengths[i] -
                                          nominal.files[i].gapAfterMs);
        }
    }
    return check;
}
