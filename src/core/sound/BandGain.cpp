#include "core/sound/BandGain.h"
#include "core/sound/SampleMath.h"

#include <algorithm>
#include <cmath>

#include "core/sound/SoundTimeline.h"

namespace {

// Enough frames kept for any rendering that moves forward; older ones are computed again.
constexpr size_t kKeptGainFrames = 512;

template <typename Map, typename Make>
double Cached(Map& cache, qint64 key, Make make) {
    if (const auto found = cache.find(key); found != cache.end()) {
        return found->second;
    }
    MakeRoomNear(cache, key, kKeptGainFrames);
    const double value = make();
    cache.emplace(key, value);
    return value;
}

}  // namespace

BandGain::BandGain(int frame, double target, std::function<double(qint64)> level)
    : m_frame(frame),
      m_target(target),
      m_level(std::move(level)),
      m_risePerFrame(frame / (kDecaySeconds * SoundTimeline::kSampleRate)),
      // Beyond this a frame's hold has risen above the most gain any frame allows.
      m_reach(static_cast<int>(std::ceil(std::log(kMostGain / kLeastGain) / m_risePerFrame))) {}

double BandGain::raw(qint64 frame) const {
    return Cached(m_raw, frame, [&] {
        const double level = m_level(frame);
        return level > 0 ? std::clamp(m_target / level, kLeastGain, kMostGain) : kMostGain;
    });
}

double BandGain::held(qint64 frame) const {
    double gain = raw(frame);
    for (int back = 1; back <= m_reach; ++back) {
        gain = std::min(gain, raw(frame - back) * std::exp(back * m_risePerFrame));
    }
    return gain;
}

double BandGain::point(qint64 frame) const {
    return Cached(m_points, frame, [&] { return std::min(held(frame - 1), held(frame)); });
}

std::pair<double, double> BandGain::acrossFrame(qint64 frame) const {
    return {point(frame), point(frame + 1)};
}

double BandGain::at(qint64 index) const {
    const qint64 frame = FloorDiv(index, m_frame);
    const auto [from, to] = acrossFrame(frame);
    return from + (to - from) * static_cast<double>(index - frame * m_frame) / m_frame;
}
