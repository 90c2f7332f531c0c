#pragma once

#include <QVector>
#include <map>
#include <memory>
#include <vector>

#include "core/sound/BandFilter.h"
#include "core/sound/BandGain.h"
#include "core/sound/BandSettings.h"
#include "core/sound/SoundTimeline.h"

// Renders the band's conditions as pure functions of the sample index on a run's timeline: the
// receiver's filter over what its effects feed it, what they add beside it and do to the wanted
// signal, and the receiver's automatic gain over their sum. The same settings and index give the
// same samples however the rendering is cut into blocks.
class BandRenderer {
  public:
    // The wanted signal's reference amplitude (a planned tone's).
    static constexpr double kWantedAmplitude = 10000;
    // The most either part of the sound reaches: the two together stay within 16 bits.
    static constexpr double kWantedCeiling = 14000;
    static constexpr double kBackgroundCeiling = 32767 - kWantedCeiling;
    // The background is filtered in frames of this many samples, each from rest one frame early,
    // so that a frame depends on nothing but its index.
    static constexpr int kFrame = 1024;

    explicit BandRenderer(const BandSettings& settings);

    // Each effect's sound, in the effects' order.
    const std::vector<std::unique_ptr<BandSound>>& sounds() const { return m_sounds; }

    // The background of samples [from, from + count), never above kBackgroundCeiling.
    QVector<qint16> background(qint64 from, qint64 count) const;
    // The wanted signal's samples, the first at index from: faded and levelled in place, and
    // never above kWantedCeiling.
    void shapeWanted(qint64 from, QVector<qint16>& samples) const;
    // A planned tone as ToneShaper shapes it, or as an effect keys it (a chirp).
    QVector<qint16> tone(int frequencyHz, qint64 lengthSamples) const;

    // The fixed level the band was once played at instead of the automatic gain: the loudness
    // of the wanted signal alone, on average. Only for comparing the two.
    double fixedLevel() const { return m_level; }
    void useFixedLevel(bool fixed) { m_fixedLevel = fixed; }
    // The gain every sound of the band is multiplied by at a sample.
    double gainAt(qint64 index) const;

  private:
    void renderFrame(qint64 frame, double* out) const;
    // The gain at a frame's first sample and at the next frame's.
    std::pair<double, double> gainAcross(qint64 frame) const;
    // The background of a frame before the gain, kept while frames near it are rendered.
    const std::vector<double>& backgroundFrame(qint64 frame) const;
    // What the automatic gain hears in a frame: the wanted signal as if keyed all through, and
    // the background's power and peaks.
    double loudness(qint64 frame) const;
    // The fading effects' gain of the wanted signal at a sample.
    double wantedGain(qint64 index) const;

    BandFilter m_filter;
    std::vector<std::unique_ptr<BandSound>> m_sounds;
    // Those of them that feed the filter, that are heard beside it and that fade the signal.
    std::vector<const BandSound*> m_inputs;
    std::vector<const BandSound*> m_besides;
    std::vector<const BandSound*> m_fadings;
    double m_level = 1;
    bool m_fixedLevel = false;
    bool m_hasBackground = false;
    std::unique_ptr<BandGain> m_gain;
    // The frames rendered last: elements planned one after the other share frames, and the gain
    // looks ahead one frame.
    mutable std::map<qint64, std::vector<double>> m_frames;
};
