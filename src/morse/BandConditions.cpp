#include "morse/BandConditions.h"

#include <QStringList>
#include <algorithm>

#include "common/ProgramSettings.h"
#include "morse/MorseTable.h"
#include "sound/BandRandom.h"
#include "sound/SoundTimeline.h"

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
    human.chirpOn = true;
    human.chirpHz = 25;
    return {{u"なし"_s, BandConditions{}}, {u"静かなバンド"_s, quiet}, {u"弱い信号"_s, weak},
            {u"混信"_s, crowded},          {u"空電"_s, stormy},        {u"フラッター"_s, flutter},
            {u"手送りの癖"_s, human}};
}

namespace {

// Each field under its own key, with what it reads as when missing or out of range.
template <typename T>
T Read(const ProgramSettings& store, const QString& name, T fallback, T low, T high) {
    bool ok = false;
    const QVariant v = store.value(ProgramSettingKey::BandPrefix + name);
    T value = fallback;
    if constexpr (std::is_same_v<T, bool>) {
        return v.isValid() ? v.toString() == u"true"_s || v.toString() == u"1"_s : fallback;
    } else if constexpr (std::is_same_v<T, int>) {
        value = v.toInt(&ok);
    } else {
        value = v.toDouble(&ok);
    }
    return ok ? std::clamp(value, low, high) : fallback;
}

}  // namespace

BandConditions LoadBandConditions(const ProgramSettings& store) {
    BandConditions d;
    BandConditions c;
    bool ok = false;
    const qulonglong seed =
        store.value(ProgramSettingKey::BandPrefix + u"seed"_s).toString().toULongLong(&ok);
    c.seed = ok ? seed : d.seed;
    c.noiseOn = Read(store, u"noise"_s, d.noiseOn, false, true);
    c.snrDb = Read(store, u"snrDb"_s, d.snrDb, -10.0, 60.0);
    c.fadingOn = Read(store, u"fading"_s, d.fadingOn, false, true);
    c.fadingHz = Read(store, u"fadingHz"_s, d.fadingHz, 0.05, 30.0);
    c.stationCount = Read(store, u"stations"_s, d.stationCount, 0, BandConditions::kMostStations);
    c.stationSpreadHz = Read(store, u"stationSpreadHz"_s, d.stationSpreadHz, 100, 1500);
    c.stationWpmLow = Read(store, u"stationWpmLow"_s, d.stationWpmLow, 5, 60);
    c.stationWpmHigh = Read(store, u"stationWpmHigh"_s, d.stationWpmHigh, 5, 60);
    c.stationLevelDb = Read(store, u"stationLevelDb"_s, d.stationLevelDb, -40.0, 20.0);
    c.crashesOn = Read(store, u"crashes"_s, d.crashesOn, false, true);
    c.crashesPerSecond = Read(store, u"crashesPerSecond"_s, d.crashesPerSecond, 0.0, 10.0);
    c.crashDb = Read(store, u"crashDb"_s, d.crashDb, -30.0, 20.0);
    c.chirpOn = Read(store, u"chirp"_s, d.chirpOn, false, true);
    c.chirpHz = Read(store, u"chirpHz"_s, d.chirpHz, 0.0, 200.0);
    c.fistOn = Read(store, u"fist"_s, d.fistOn, false, true);
    c.jitterPercent = Read(store, u"jitterPercent"_s, d.jitterPercent, 0.0, 40.0);
    c.weightPercent = Read(store, u"weightPercent"_s, d.weightPercent, -40.0, 40.0);
    return c;
}

bool SaveBandConditions(ProgramSettings& store, const BandConditions& c) {
    const QString& p = ProgramSettingKey::BandPrefix;
    const auto flag = [](bool on) { return on ? u"true"_s : u"false"_s; };
    bool ok = store.setValue(p + u"seed"_s, QString::number(c.seed));
    ok = store.setValue(p + u"noise"_s, flag(c.noiseOn)) && ok;
    ok = store.setValue(p + u"snrDb"_s, c.snrDb) && ok;
    ok = store.setValue(p + u"fading"_s, flag(c.fadingOn)) && ok;
    ok = store.setValue(p + u"fadingHz"_s, c.fadingHz) && ok;
    ok = store.setValue(p + u"stations"_s, c.stationCount) && ok;
    ok = store.setValue(p + u"stationSpreadHz"_s, c.stationSpreadHz) && ok;
    ok = store.setValue(p + u"stationWpmLow"_s, c.stationWpmLow) && ok;
    ok = store.setValue(p + u"stationWpmHigh"_s, c.stationWpmHigh) && ok;
    ok = store.setValue(p + u"stationLevelDb"_s, c.stationLevelDb) && ok;
    ok = store.setValue(p + u"crashes"_s, flag(c.crashesOn)) && ok;
    ok = store.setValue(p + u"crashesPerSecond"_s, c.crashesPerSecond) && ok;
    ok = store.setValue(p + u"crashDb"_s, c.crashDb) && ok;
    ok = store.setValue(p + u"chirp"_s, flag(c.chirpOn)) && ok;
    ok = store.setValue(p + u"chirpHz"_s, c.chirpHz) && ok;
    ok = store.setValue(p + u"fist"_s, flag(c.fistOn)) && ok;
    ok = store.setValue(p + u"jitterPercent"_s, c.jitterPercent) && ok;
    ok = store.setValue(p + u"weightPercent"_s, c.weightPercent) && ok;
    return ok;
}
