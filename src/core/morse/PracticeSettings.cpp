#include "core/morse/PracticeSettings.h"

#include "core/morse/ToneFrequency.h"

template <typename T>
void PracticeSettings::update(T& field, const T& value) {
    if (field == value) {
        return;
    }
    field = value;
    ++m_revision;
    emit changed();
}

void PracticeSettings::setToneText(const QString& text) {
    m_storedTone = ToneTextAsInt16(text);
    update(m_toneHz, ToneFrequencyForSound(text));
}

void PracticeSettings::setFineAdjust(int value) {
    update(m_fineAdjust, value);
}

void PracticeSettings::setGenerator(SoundGenerator generator) {
    update(m_generator, generator);
}

void PracticeSettings::setSpeed(std::optional<int> perMinute) {
    update(m_speed, perMinute);
}

void PracticeSettings::setFreeFigures(const FreeSpeed& speed) {
    if (speed.isValid()) {
        update(m_freeFigures, speed);
    }
}

void PracticeSettings::setFreeChosen(bool chosen) {
    update(m_freeChosen, chosen);
}

std::optional<int> PracticeSettings::speedOrNearest() const {
    if (m_freeChosen) {
        return NearestFixedSpeed(m_freeFigures);
    }
    return m_speed;
}

void PracticeSettings::setWaveQuality(int level) {
    update(m_waveQuality, level);
}

void PracticeSettings::setWaveVolume(int level) {
    update(m_waveVolume, level);
}
