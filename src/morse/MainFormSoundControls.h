#pragma once

#include <QObject>

#include "morse/SoundControls.h"

struct MainFormUi;
class QScrollBar;

// The generators' view of the main window's controls and of the WAV settings
// dialog's level bars.
class MainFormSoundControls : public SoundControls {
  public:
    explicit MainFormSoundControls(const MainFormUi& ui);

    // The WAV settings dialog's bars, once it exists.
    void setWaveLevelBars(const QScrollBar* quality, const QScrollBar* volume);

    QString toneText() const override;
    int fineAdjustValue() const override;
    SoundGenerator selectedGenerator() const override;
    std::optional<int> selectedSpeed() const override;
    int waveQualityLevel() const override;
    int waveVolumeLevel() const override;
    quint64 revision() const override { return m_revision; }

  private:
    template <typename Sender, typename Signal>
    void countChanges(const Sender* sender, Signal signal) {
        QObject::connect(sender, signal, &m_watcher, [this] { ++m_revision; });
    }

    const MainFormUi& m_ui;
    const QScrollBar* m_quality = nullptr;
    const QScrollBar* m_volume = nullptr;
    QObject m_watcher;
    quint64 m_revision = 0;
};
