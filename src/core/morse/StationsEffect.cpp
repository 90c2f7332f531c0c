#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/morse/BandEffect.h"
#include "core/morse/MorseTable.h"
#include "core/sound/BandFilter.h"
#include "core/sound/BandRandom.h"
#include "core/sound/BandRenderer.h"
#include "core/sound/SoundTimeline.h"
#include "core/sound/ToneShaper.h"

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

// Another station heard beside the wanted one: its keying as alternating key-down and key-up
// lengths in samples (key-down first), sent over and over.
struct BandStation {
    int offsetHz = 0;     // from the wanted tone
    double levelDb = 0;   // its level against the wanted signal's
    QVector<int> keying;  // samples: down, up, down, up, ...
    qint64 startAt = 0;   // where in its keying the station is at the run's first sample
};

QList<BandStation> DrawStations(const BandConditions& c) {
    QList<BandStation> stations;
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
        // A level that is not a figure leaves the station out.
        if (std::isfinite(station.levelDb)) {
            stations.append(station);
        }
    }
    return stations;
}

// The stations through the receiver's filter, each a keyed tone with soft edges at its pitch,
// level and phase.
class StationsSound final : public BandSound {
  public:
    StationsSound(const BandReceiver& receiver, const QList<BandStation>& stations) {
        constexpr double kRate = SoundTimeline::kSampleRate;
        int n = 0;
        for (const BandStation& station : stations) {
            Keyed s;
            const double hz = receiver.toneHz + station.offsetHz;
            s.radiansPerSample = 2 * std::numbers::pi * hz / kRate;
            s.phase = 2 * std::numbers::pi *
                      BandRandom::Uniform(receiver.seed, BandRandom::kStations, n++);
            s.amplitude = BandRenderer::kWantedAmplitude * std::pow(10.0, station.levelDb / 20) *
                          receiver.filter.magnitude(hz);
            qint64 end = 0;
            for (int length : station.keying) {
                end += std::max(length, 1);
                s.ends.push_back(end);
            }
            s.cycle = end;
            s.startAt = station.startAt;
            if (s.cycle > 0 && hz > 0 && hz < kRate / 2) {
                m_stations.push_back(std::move(s));
            }
        }
    }

    bool addsBeside() const override { return !m_stations.empty(); }
    void addBeside(qint64 first, double* samples, int count) const override {
        for (int i = 0; i < count; ++i) {
            samples[i] += at(first + i);
        }
    }
    void addPower(double& power) const override {
        // Keyed about half the time.
        for (const Keyed& s : m_stations) {
            power += s.amplitude * s.amplitude / 4;
        }
    }

  private:
    struct Keyed {
        double radiansPerSample;
        double phase;
        double amplitude;
        std::vector<qint64> ends;  // the end of each keying segment within the cycle
        qint64 cycle;
        qint64 startAt;
    };

    double at(qint64 index) const {
        double sum = 0;
        for (const Keyed& s : m_stations) {
            const qint64 at = ((index + s.startAt) % s.cycle + s.cycle) % s.cycle;
            const auto segment =
                std::upper_bound(s.ends.begin(), s.ends.end(), at) - s.ends.begin();
            if (segment % 2 == 1) {
                continue;  // key up
            }
            const qint64 begin = segment == 0 ? 0 : s.ends[static_cast<size_t>(segment - 1)];
            const qint64 end = s.ends[static_cast<size_t>(segment)];
            const double edge =
                std::min<double>(1.0, static_cast<double>(std::min(at - begin, end - at)) /
                                          ToneShaper::kEdgeSamples);
            const double envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * edge);
            const double angle =
                std::fmod(s.radiansPerSample * static_cast<double>(index), 2 * std::numbers::pi);
            sum += s.amplitude * envelope * std::sin(angle + s.phase);
        }
        return sum;
    }

    std::vector<Keyed> m_stations;
};

BandSoundMaker StationsMaker(const BandConditions& c) {
    const QList<BandStation> stations = DrawStations(c);
    if (stations.isEmpty()) {
        return {};
    }
    return SoundFor<StationsSound>(stations);
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
                                    &StationsMaker};
    return kEffect;
}
