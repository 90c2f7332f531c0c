#include "core/morse/BandConditions.h"

#include <QStringList>
#include <algorithm>
#include <optional>

#include "core/kit/ProgramSettings.h"
#include "core/morse/BandConditionFields.h"
#include "core/morse/BandEffect.h"

using namespace Qt::StringLiterals;

bool BandConditions::anyOn() const {
    return std::ranges::any_of(BandEffects(),
                               [this](const BandEffect* effect) { return effect->isOn(*this); });
}

QString BandConditions::summary() const {
    QStringList parts;
    for (const BandEffect* effect : BandEffects()) {
        if (const QString part = effect->summary(*this); !part.isEmpty()) {
            parts << part;
        }
    }
    return parts.join(u' ');
}

BandSettings ToBandSettings(const BandConditions& c, int toneHz) {
    BandSettings s;
    s.seed = c.seed;
    s.toneHz = toneHz;
    for (const BandEffect* effect : BandEffects()) {
        if (effect->isOn(c)) {
            if (BandSoundMaker make = effect->sound(c)) {
                s.sounds.append(std::move(make));
            }
        }
    }
    return s;
}

QList<BandPreset> BandPresets() {
    BandConditions quiet;
    quiet.noiseOn = true;
    quiet.snrDb = 25;
    BandConditions weak;
    weak.noiseOn = true;
    weak.snrDb = 6;
    weak.fadingOn = true;
    weak.fadingHz = 0.3;
    BandConditions crowded;
    crowded.noiseOn = true;
    crowded.snrDb = 15;
    crowded.stationCount = 3;
    BandConditions stormy;
    stormy.noiseOn = true;
    stormy.snrDb = 12;
    stormy.crashesOn = true;
    stormy.crashesPerSecond = 1.5;
    stormy.crashDb = 3;
    BandConditions flutter;
    flutter.noiseOn = true;
    flutter.snrDb = 15;
    flutter.fadingOn = true;
    flutter.fadingHz = 10;
    BandConditions human;
    human.fistOn = true;
    human.jitterPercent = 12;
    human.weightPercent = 10;
    return {{u"なし"_s, BandConditions{}}, {u"静かなバンド"_s, quiet}, {u"弱い信号"_s, weak},
            {u"混信"_s, crowded},          {u"空電"_s, stormy},        {u"フラッター"_s, flutter},
            {u"手送りの癖"_s, human}};
}

namespace {

// The conditions with every figure of an effect that is off at its default: two conditions that
// sound the same compare equal.
BandConditions InForce(const BandConditions& c) {
    BandConditions kept;
    kept.seed = c.seed;
    bool on = false;
    for (const BandConditionField& field : BandConditionFields()) {
        if (field.headsEffect()) {
            on = field.get(c) != 0;
        }
        if (on || field.headsEffect()) {
            field.set(kept, field.get(c));
        }
    }
    return kept;
}

}  // namespace

qsizetype BandPresetIndexOf(const BandConditions& conditions) {
    const QList<BandPreset> presets = BandPresets();
    for (qsizetype i = 0; i < presets.size(); ++i) {
        BandConditions preset = presets[i].conditions;
        preset.seed = conditions.seed;
        if (InForce(preset) == InForce(conditions)) {
            return i;
        }
    }
    return -1;
}

QString BandStatusText(const BandConditions& conditions) {
    if (!conditions.anyOn()) {
        return u"バンド: なし"_s;
    }
    const qsizetype preset = BandPresetIndexOf(conditions);
    return u"バンド: %1（シード %2）"_s.arg(
        preset > 0 ? BandPresets()[preset].name : conditions.summary(),
        QString::number(conditions.seed));
}

namespace {

// A switch is written "true" or "false"; "1" and "0" are taken too.
std::optional<double> FigureOf(const QVariant& value, bool isSwitch) {
    const QString text = value.toString();
    if (isSwitch) {
        if (text == u"true"_s || text == u"1"_s) {
            return 1;
        }
        return text == u"false"_s || text == u"0"_s ? std::optional(0.0) : std::nullopt;
    }
    bool ok = false;
    const double figure = value.toDouble(&ok);
    return ok ? std::optional(figure) : std::nullopt;
}

// How a refused value is named to the user: its key and its text, which may be empty for a
// value stored in Qt's own binary form.
QString Refusal(const QString& key, const QVariant& value) {
    return u"%1=%2"_s.arg(key, value.toString());
}

}  // namespace

BandConditions LoadBandConditions(const ProgramSettings& store, QStringList* refused) {
    BandConditions c;
    const QString& prefix = ProgramSettingKey::BandPrefix;
    const QVariant seedValue = store.value(prefix + u"seed"_s);
    bool ok = false;
    const qulonglong seed = seedValue.toString().toULongLong(&ok);
    if (ok) {
        c.seed = seed;
    } else if (seedValue.isValid() && refused != nullptr) {
        *refused << Refusal(u"seed"_s, seedValue);
    }
    for (const BandConditionField& field : BandConditionFields()) {
        const QVariant value = store.value(prefix + field.key);
        if (!value.isValid()) {
            continue;
        }
        const std::optional<double> figure = FigureOf(value, field.isSwitch());
        if (figure && field.admits(*figure)) {
            field.set(c, *figure);
        } else if (refused != nullptr) {
            *refused << Refusal(field.key, value);
        }
    }
    return c;
}

bool SaveBandConditions(ProgramSettings& store, const BandConditions& c) {
    const QString& prefix = ProgramSettingKey::BandPrefix;
    bool ok = store.setValue(prefix + u"seed"_s, QString::number(c.seed));
    for (const BandConditionField& field : BandConditionFields()) {
        const QVariant value = std::visit(
            [&](auto m) -> QVariant {
                if constexpr (std::is_same_v<std::remove_reference_t<decltype(c.*m)>, bool>) {
                    return c.*m ? u"true"_s : u"false"_s;
                } else {
                    return c.*m;
                }
            },
            field.member);
        ok = store.setValue(prefix + field.key, value) && ok;
    }
    return ok;
}
