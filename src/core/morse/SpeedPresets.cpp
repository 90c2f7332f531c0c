#include "core/morse/SpeedPresets.h"

#include <QStringList>

#include "core/kit/ProgramSettings.h"
#include "core/morse/ToneFrequency.h"

namespace {

const QString kChoiceKey = QStringLiteral("speed/free");
const QString kChosenKey = QStringLiteral("speed/freeChosen");
const QString kPresetsKey = QStringLiteral("speed/presets");
// Name, figures and tone of a preset in one list entry.
const QChar kSeparator = u'\t';
constexpr qsizetype kMostPresets = 50;
constexpr qsizetype kLongestName = 40;

}  // namespace

QList<SpeedPreset> ShippedPresets() {
    return {
        {QStringLiteral("入門 ファーンズワース 25/4 WPM"), FreeSpeed{25, 4, 0},
         QStringLiteral("700")},
        {QStringLiteral("ファーンズワース 18/10 WPM"), FreeSpeed{18, 10, 0}, QStringLiteral("700")},
        {QStringLiteral("20 WPM"), FreeSpeed{20, 0, 0}, QStringLiteral("700")},
        {QStringLiteral("30 WPM"), FreeSpeed{30, 0, 0}, QStringLiteral("700")},
    };
}

FreeSpeedChoice LoadFreeSpeedChoice(const ProgramSettings& store) {
    FreeSpeedChoice choice;
    if (const std::optional<FreeSpeed> speed =
            ParseFreeSpeedFigures(store.value(kChoiceKey).toString())) {
        choice.speed = *speed;
        choice.chosen = store.value(kChosenKey).toString() == u"true";
    }
    return choice;
}

bool SaveFreeSpeedChoice(ProgramSettings& store, const FreeSpeedChoice& choice) {
    // Nothing is written for the default, so no file is made for a setting never used.
    if (choice == FreeSpeedChoice{}) {
        return store.remove(kChoiceKey) && store.remove(kChosenKey);
    }
    return store.setValue(kChoiceKey, FreeSpeedFigures(choice.speed)) &&
           store.setValue(kChosenKey, choice.chosen);
}

QList<SpeedPreset> LoadSpeedPresets(const ProgramSettings& store) {
    if (!store.contains(kPresetsKey)) {
        return ShippedPresets();
    }
    QList<SpeedPreset> presets;
    for (const QString& entry : store.value(kPresetsKey).toStringList().mid(0, kMostPresets)) {
        const QStringList parts = entry.split(kSeparator);
        if (parts.size() != 3 || parts[0].trimmed().isEmpty() || parts[0].size() > kLongestName) {
            continue;
        }
        // The tone goes into the tone box as it is: only a tone the box could hold is taken.
        const std::optional<qint16> tone = ToneTextAsInt16(parts[2]);
        const std::optional<FreeSpeed> speed = ParseFreeSpeedFigures(parts[1]);
        if (speed && tone && *tone >= kLowestTone && *tone <= kHighestTone) {
            presets.append({parts[0], *speed, QString::number(*tone)});
        }
    }
    return presets;
}

bool SaveSpeedPresets(ProgramSettings& store, const QList<SpeedPreset>& presets) {
    QStringList entries;
    for (const SpeedPreset& preset : presets.mid(0, kMostPresets)) {
        QString name = preset.name.left(kLongestName);
        name.replace(kSeparator, u' ');
        entries << name + kSeparator + FreeSpeedFigures(preset.speed) + kSeparator +
                       preset.toneText.left(8);
    }
    return store.setValue(kPresetsKey, entries);
}
