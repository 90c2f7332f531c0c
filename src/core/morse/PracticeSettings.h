#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "core/morse/SoundControls.h"

// The settings a lesson's sound is made from: tone, speed, fine adjustment, generator and the
// WAV quality and volume. The windows keep it up to date from their controls' change signals;
// the generators, the dispatch, the call-up and the history read it here, so a change takes
// effect from the next character on and a playback planned ahead re-plans when it changes.
class PracticeSettings : public QObject, public SoundControls {
    Q_OBJECT
  public:
    using QObject::QObject;

    int toneHz() const override { return m_toneHz; }
    // The tone as the record file keeps it: the box's whole number within 16 bits; nothing when
    // the box holds none (it is then not saved, and the user is told).
    std::optional<qint16> storedTone() const { return m_storedTone; }
    int fineAdjustValue() const override { return m_fineAdjust; }
    SoundGenerator selectedGenerator() const override { return m_generator; }
    std::optional<int> selectedSpeed() const override { return m_speed; }
    std::optional<FreeSpeed> freeSpeed() const override {
        return m_freeChosen ? std::optional(m_freeFigures) : std::nullopt;
    }
    // The speed of its own as set, chosen or not.
    const FreeSpeed& freeFigures() const { return m_freeFigures; }
    int waveQualityLevel() const override { return m_waveQuality; }
    int waveVolumeLevel() const override { return m_waveVolume; }
    quint64 revision() const override { return m_revision; }
    void whenChanged(QObject* context, std::function<void()> changed) const override {
        connect(this, &PracticeSettings::changed, context, std::move(changed));
    }

    // The tone box's text as it stands, which the box may hold before its range check: the tone
    // it sounds and the figure it is saved as.
    void setToneText(const QString& text);
    void setFineAdjust(int value);
    void setGenerator(SoundGenerator generator);
    // Characters per minute of the selected speed option; nothing when none is selected.
    void setSpeed(std::optional<int> perMinute);
    // The speed of its own, and whether it is chosen instead of the three options.
    void setFreeFigures(const FreeSpeed& speed);
    void setFreeChosen(bool chosen);
    // The speed option when one is chosen, else the fixed speed nearest to the free one: what
    // the link and the saved record, which know only the three, are given.
    std::optional<int> speedOrNearest() const;
    void setWaveQuality(int level);
    void setWaveVolume(int level);

  signals:
    void changed();

  private:
    template <typename T>
    void update(T& field, const T& value);

    int m_toneHz = 800;
    std::optional<qint16> m_storedTone = 800;
    int m_fineAdjust = 0;
    SoundGenerator m_generator = SoundGenerator::Wave;
    std::optional<int> m_speed = 25;
    FreeSpeed m_freeFigures;
    bool m_freeChosen = false;
    int m_waveQuality = 1;
    int m_waveVolume = 1;
    quint64 m_revision = 0;
};
