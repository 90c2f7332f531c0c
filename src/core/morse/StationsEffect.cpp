#include <QStringList>
#include <algorithm>

#include "core/morse/BandEffect.h"
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

// Everything the stations are drawn from, so the history's account sounds the lesson again.
QString StationWords(const BandConditions& c) {
    return u"QRM %1 ±%2Hz %3-%4WPM %5dB"_s.arg(c.stationCount)
        .arg(c.stationSpreadHz)
        .arg(c.stationWpmLow)
        .arg(c.stationWpmHigh)
        .arg(BandFigure(c.stationLevelDb));
}

void RenderStations(const BandConditions& c, BandSettings& s) {
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
}

}  // namespace

QStringList StationTexts(const BandConditions& conditions) {
    QStringList texts;
    for (int i = 0; i < std::clamp(conditions.stationCount, 0, BandConditions::kMostStations);
         ++i) {
        texts << StationText(conditions.seed, i);
    }
    return texts;
}

// Other stations (QRM): callsigns, phrases, speeds, pitches and levels drawn from the seed.
const BandEffect& StationsEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{{{u"stations"_s, &C::stationCount, 0, C::kMostStations},
                                     {u"stationSpreadHz"_s, &C::stationSpreadHz, 100, 1500},
                                     {u"stationWpmLow"_s, &C::stationWpmLow, 5, 60},
                                     {u"stationWpmHigh"_s, &C::stationWpmHigh, 5, 60},
                                     {u"stationLevelDb"_s, &C::stationLevelDb, -40, 20}},
                                    &StationWords,
                                    &RenderStations};
    return kEffect;
}
