#pragma once

#include <QString>

#include "common/Clock.h"
#include "common/Places.h"
#include "morse/BeepGenerator.h"
#include "morse/CharacterDispatch.h"
#include "morse/SoundControls.h"
#include "morse/WaveGenerator.h"

inline constexpr int kLessonToneHz = 800;
// WAV quality 3 has 20 ms ramps: even the shortest dot (72 ms) reaches full level, so every
// tone has a half-amplitude start and end. Volume 1 (0 dB) is the beep's level, so that the
// marker tone crosses the same half-amplitude threshold as the files' tones.
inline constexpr int kLessonWaveQuality = 3;
inline constexpr int kLessonWaveVolume = 1;
inline constexpr double kLessonWaveRampMs = 20;

// The windows' sound settings for one run, as the generators and the dispatch read them.
class LessonSoundControls : public SoundControls {
  public:
    QString toneText() const override { return QString::number(kLessonToneHz); }
    int fineAdjustValue() const override { return fineAdjust; }
    SoundGenerator selectedGenerator() const override { return generator; }
    std::optional<int> selectedSpeed() const override { return speed; }
    int waveQualityLevel() const override { return kLessonWaveQuality; }
    int waveVolumeLevel() const override { return kLessonWaveVolume; }

    SoundGenerator generator = SoundGenerator::Beep;
    int speed = 25;
    int fineAdjust = 0;
};

// Sounds a Normal lesson with the program's own classes, as the lesson does: the call-up
// symbol by symbol with the selected generator, then the question and its end mark character
// by character through the dispatch; then a marker tone that bounds the last closing gap.
class LessonPlayer {
  public:
    LessonPlayer(SoundOutput& output, const Clock& clock, const QString& folder);

    LessonSoundControls& controls() { return m_controls; }
    SoundGenerator generator() const { return m_controls.generator; }
    void play(const QString& question);
    // The file the WAV generator wrote for a sign ("H", "5", "BT", "AR").
    QString wavePath(const QString& signName) const;

  private:
    SoundOutput& m_output;
    LessonSoundControls m_controls;
    MorseSoundState m_state;
    Places m_places;
    BeepGenerator m_beep;
    WaveGenerator m_wave;
    CharacterDispatch m_dispatch;
};
