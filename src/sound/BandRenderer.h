#pragma once

#include <QVector>
#include <memory>
#include <vector>

#include "sound/BandFading.h"
#include "sound/BandFilter.h"
#include "sound/BandSettings.h"

// Renders the band's conditions as pure functions of the sample index on a run's timeline: the
// background (noise and crashes through the receiver's filter, other stations) and what happens
// to the wanted signal (fading, chirp, the level that keeps the sum's loudness). The same
// settings and index give the same samples however the rendering is cut into blocks.
class BandRenderer {
  public:
    // The wanted signal's reference amplitude (a planned tone's).
    static constexpr double kWantedAmplitude = 10000;
    // The background is filtered in frames of this many samples, each from rest one frame early,
    // so that a frame depends on nothing but its index.
    static constexpr int kFrame = 1024;

    explicit BandRenderer(const BandSettings& settings);

    const BandSettings& settings() const { return m_settings; }

    // The background of samples [from, from + count).
    QVector<qint16> background(qint64 from, qint64 count) const;
    // The wanted signal's samples, the first at index from: faded and levelled in place.
    void shapeWanted(qint64 from, QVector<qint16>& samples) const;
    // A planned tone as ToneShaper shapes it, its pitch chirped at key-down when chirp is on.
    QVector<qint16> tone(int frequencyHz, qint64 lengthSamples) const;

    // The level every sound of the band is multiplied by.
    double level() const { return m_level; }
    // The noise's standard deviation before the filter (0: no noise).
    double noiseSigma() const { return m_noiseSigma; }
    const BandFading* fading() const { return m_fading.get(); }

  private:
    void renderFrame(qint64 frame, double* out) const;
    double crashInput(qint64 index) const;
    double stationsAt(qint64 index) const;

    BandSettings m_settings;
    BandFilter m_filter;
    std::unique_ptr<BandFading> m_fading;
    double m_noiseSigma = 0;
    double m_crashScale = 0;
    double m_level = 1;
    struct Station {
        double radiansPerSample;
        double phase;
        double amplitude;
        std::vector<qint64> ends;  // the end of each keying segment within the cycle
        qint64 cycle;
        qint64 startAt;
    };
    std::vector<Station> m_stations;
    // The last frame rendered: elements planned one after the other share frames.
    mutable bool m_cacheValid = false;
    mutable qint64 m_cachedFrame = 0;
    mutable std::vector<double> m_cache;
};
