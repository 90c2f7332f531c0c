#include <algorithm>
#include <cmath>

#include "core/morse/BandEffect.h"
#include "core/sound/BandRandom.h"
#include "core/sound/BandWave.h"

using namespace Qt::StringLiterals;

namespace {

// A human hand on the key: each element's length spread at random, key-downs weighted, and the
// key-ups giving back what the key-downs took, so the sender keeps the nominal speed.
class FistSound final : public BandSound {
  public:
    FistSound(const BandReceiver& receiver, double jitterPercent, double weightPercent)
        : m_seed(receiver.seed), m_jitterPercent(jitterPercent), m_weightPercent(weightPercent) {}

    bool changesTiming() const override { return true; }
    int keyDownMs(qint64 index, int ms, double& owedMs) const override {
        if (ms <= 0) {
            return ms;
        }
        const double weight = 1 + m_weightPercent / 100;
        const int sent =
            std::max(1, static_cast<int>(std::lround(ms * weight * (1 + spread(index)))));
        owedMs += sent - ms;
        return sent;
    }
    int keyUpMs(qint64 index, int ms, double& owedMs) const override {
        if (ms <= 0) {
            return ms;
        }
        // Never shorter than a third of itself; what cannot be given back now is given back later.
        const double wanted = ms * (1 + spread(index) / 2) - owedMs;
        const int sent = std::max({1, ms / 3, static_cast<int>(std::lround(wanted))});
        owedMs -= ms - sent;
        owedMs = std::clamp(owedMs, -static_cast<double>(ms), static_cast<double>(ms));
        return sent;
    }
    qsizetype keyUpSamples(qint64 index, qsizetype samples, qsizetype& owed) const override {
        const double sent = samples * (1 + spread(index) / 2) - owed;
        owed = 0;
        return std::max(samples / 3, static_cast<qsizetype>(std::lround(sent)));
    }
    // A recording's mark is weighted by whole periods; the key-up after it gives back what it took.
    void weighMark(QVector<qint16>& mark, qsizetype& owed) const override {
        if (m_weightPercent != 0) {
            const qsizetype recorded = mark.size();
            mark = BandWave::Reweighted(mark, 1 + m_weightPercent / 100);
            owed += mark.size() - recorded;
        }
    }

  private:
    // An element's spread, from the seed at its start: no more than this many deviations.
    static constexpr double kSpreadLimit = 2.5;

    double spread(qint64 index) const {
        const double g = std::clamp(BandRandom::Gaussian(m_seed, BandRandom::kFist, index),
                                    -kSpreadLimit, kSpreadLimit);
        return m_jitterPercent / 100 * g;
    }

    quint64 m_seed;
    double m_jitterPercent;
    double m_weightPercent;
};

}  // namespace

// A human fist: the elements' lengths spread, and a weight.
const BandEffect& FistEffect() {
    using C = BandConditions;
    static const BandEffect kEffect{
        {{u"fist"_s, &C::fistOn, 0, 1},
         {u"jitterPercent"_s, &C::jitterPercent, 0, 40},
         {u"weightPercent"_s, &C::weightPercent, -40, 40}},
        [](const C& c) {
            return u"FIST %1%/%2%"_s.arg(BandFigure(c.jitterPercent), BandFigure(c.weightPercent));
        },
        [](const C& c) -> BandSoundMaker {
            // A key-down may not shrink to nothing, nor a key-up grow without end.
            if (!std::isfinite(c.jitterPercent) || !std::isfinite(c.weightPercent) ||
                c.jitterPercent < 0 || std::abs(c.weightPercent) >= 100) {
                return {};
            }
            return SoundFor<FistSound>(c.jitterPercent, c.weightPercent);
        }};
    return kEffect;
}
