#pragma once

#include <QtGlobal>
#include <functional>
#include <iterator>
#include <map>

// Keeps a cache of frames to at most `most` entries around the frame about to be added: the one
// farthest from it goes, so rendering forward or backward (or again from a lesson's start) keeps
// the frames near it.
template <typename T>
void MakeRoomNear(std::map<qint64, T>& cache, qint64 frame, size_t most) {
    while (!cache.empty() && cache.size() >= most) {
        const bool lowFarther =
            frame - cache.begin()->first > std::prev(cache.end())->first - frame;
        cache.erase(lowFarther ? cache.begin() : std::prev(cache.end()));
    }
}

// The receiver's automatic gain, as a pure function of the sample index: the same level gives
// the same gain however the rendering is cut into blocks or in what order it is asked. Each frame
// of kFrame samples has a loudness; the gain falls at once to what the loudest frame near it
// allows (a frame early, so a crash's first samples are already held down) and rises again
// slowly, by kDecaySeconds per e-fold, never above kMostGain.
class BandGain {
  public:
    static constexpr double kDecaySeconds = 0.4;
    static constexpr double kMostGain = 4;      // +12 dB for a faded signal
    static constexpr double kLeastGain = 0.01;  // -40 dB for a crash

    // level(frame): the frame's loudness as an amplitude; target: the loudness wanted out.
    BandGain(int frame, double target, std::function<double(qint64)> level);

    // The gain at a sample: linear between the frames' first samples.
    double at(qint64 index) const;
    // The gain over a frame's samples, linear from its first to the next frame's first.
    std::pair<double, double> acrossFrame(qint64 frame) const;

  private:
    double raw(qint64 frame) const;
    double held(qint64 frame) const;
    double point(qint64 frame) const;

    int m_frame;
    double m_target;
    std::function<double(qint64)> m_level;
    double m_risePerFrame;  // the log gain a frame may rise
    int m_reach;            // frames back that can still hold the gain down
    mutable std::map<qint64, double> m_raw;
    mutable std::map<qint64, double> m_points;
};
