#include "core/morse/BandConditions.h"

#include <QStringList>
#include <algorithm>
#include <optional>

#include "core/kit/ProgramSettings.h"
#include "core/morse/BandConditionFields.h"
#include "core/morse/MorseTable.h"
#include "core/sound/BandRandom.h"
#include "core/sound/SoundTimeline.h"

using namespace Qt::StringLiterals;

namespace {

// Numbers drawn for the stations, each from its own place of the stations' stream.
double Draw(quint64 seed, int station, int what) {
    return BandRandom::Uniform(seed, BandRandom::kStations, 1000 + station * 16 + what);
}

QString Callsign(quint64 seed, int station, int which) {
    static const QStringList kPrefixes = {u"JA1"_s, u"JH2"_s, u"JR3"_s, u"JE4"_s, u"JF5"_s,
                                          u"JG6"_s, u"JI7"_s, u"JJ8"_s, u"JK9"_s, u"JL0"_s,
                                          u"7K1"_s, u"7N4"_s, u"JO1"_s, u"JS3"_s};
    const auto pick = [&](int what, int count) {
        return static_cast<int>(Draw(seed, station, what) * count);
    };
    QString call = kPrefixes[pick(which * 4, static_cast<int>(kPrefixes.size()))];
    for (int i = 0; i < 3; ++i) {
        call += QChar(u'A' + pick(which * 4 + 1 + i, 26));
    }
    return call;
}

QString StationText(quint64 seed, int station) {
    const QString call = Callsign(seed, station, 0);
    const QString other = Callsign(seed, station, 1);
    switch (static_cast<int>(Draw(seed, station, 8) * 3)) {
        case 0:
            return u"CQ CQ CQ DE %1 %1 %1 K"_s.arg(call);
        case 1:
            return u"%1 DE %2 UR RST 599 599 BK"_s.arg(other, call);
        default:
            return u"%1 DE %2 TNX FER QSO 73 TU"_s.arg(other, call);
    }
}

// Key-down and key-up lengths in samples, the word space closing the cycle.
QVector<int> Keying(const QString& text, int wpm) {
    const int unit = static_cast<int>(SamplesAfterMs(1200 / std::max(wpm, 5)));
    QVector<int> keying;
    const auto addUp = [&](int units) {
        if (keying.isEmpty()) {
            return;
        }
        if (keying.size() % 2 == 0) {
            keying.last() += units * unit;  // a longer space after a space
        } else {
            keying.append(units * unit);
        }
    };
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        for (QChar c : word) {
            const auto symbol = SymbolForAlphanumeric(c);
            if (!symbol) {
                continue;
            }
            for (const char* e = MorseSymbolFor(*symbol).pattern; *e != 0; ++e) {
                keying.append((*e == '-' ? 3 : 1) * unit);
                keying.append(unit);
            }
            addUp(2);
        }
        addUp(4);
    }
    addUp(14);  // a pause before it sends again
    return keying;
}

QString Number(double value) {
    return QString::number(value, 'g', 4);
}

}  // namespace

QString BandConditions::summary() const {
    QStringList parts;
    if (noiseOn) {
        parts << u"SNR %1dB"_s.arg(Number(snrDb));
    }
    if (fadingOn) {
        parts << u"QSB %1Hz"_s.arg(Number(fadingHz));
    }
    if (stationCount > 0) {
        // Everything the stations are drawn from, so the history's account sounds the lesson again.
        parts << u"QRM %1 ±%2Hz %3-%4WPM %5dB"_s.arg(stationCount)
                     .arg(stationSpreadHz)
                     .arg(stationWpmLow)
                     .arg(stationWpmHigh)
                     .arg(Number(stationLevelDb));
    }
    if (crashesOn) {
        parts << u"QRN %1/s %2dB"_s.arg(Number(crashesPerSecond), Number(crashDb));
    }
    if (chirpOn) {
        parts << u"CHIRP %1Hz"_s.arg(Number(chirpHz));
    }
    if (fistOn) {
        parts << u"FIST %1%/%2%"_s.arg(Number(jitterPercent), Number(weightPercent));
    }
    return parts.join(u' ');
}

QStringList StationTexts(const BandConditions& conditions) {
    QStringList texts;
    for (int i = 0; i < std::clamp(conditions.stationCount, 0, BandConditions::kMostStations);
         ++i) {
        texts << StationText(conditions.seed, i);
    }
    return texts;
}

BandSettings ToBandSettings(const BandConditions& c, int toneHz) {
    BandSettings s;
    s.seed = c.seed;
    s.toneHz = toneHz;
    s.noiseOn = c.noiseOn;
    s.snrDb = c.snrDb;
    s.fadingOn = c.fadingOn;
    s.fadingHz = c.fadingHz;
    s.crashesOn = c.crashesOn;
    s.crashesPerSecond = c.crashesPerSecond;
    s.crashDb = c.crashDb;
    s.chirpOn = c.chirpOn;
    s.chirpHz = c.chirpHz;
    s.fistOn = c.fistOn;
    s.jitterPercent = c.jitterPercent;
    s.weightPercent = c.weightPercent;
    const QStringList texts = StationTexts(c);
    for (int i = 0; i < texts.size(); ++i) {
        BandStation station;
        // At least 100 Hz off, on either side.
        const double side = Draw(c.seed, i, 9) < 0.5 ? -1 : 1;
        const int spread = std::max(c.stationSpreadHz, 100);
        station.offsetHz = static_cast<int>(side * (100 + Draw(c.seed, i, 10) * (spread - 100)));
        const int low = std::min(c.stationWpmLow, c.stationWpmHigh);
        const int high = std::max(c.stationWpmLow, c.stationWpmHigh);
        const int wpm = low + static_cast<int>(Draw(c.seed, i, 11) * (high - low + 1));
        station.levelDb = c.stationLevelDb - 6 * Draw(c.seed, i, 12);
        station.keying = Keying(texts[i], wpm);
        qint64 cycle = 0;
        for (int length : station.keying) {
            cycle += length;
        }
        station.startAt = static_cast<qint64>(Draw(c.seed, i, 13) * static_cast<double>(cycle));
        s.stations.append(station);
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
