#pragma once

#include <QObject>

class PracticeSettings;
class QScrollBar;
struct SoundUi;

// Keeps the practice settings equal to the main window's controls and the WAV settings dialog's
// level bars: takes their values now and follows every change signal they give.
class PracticeSettingsBinding : public QObject {
    Q_OBJECT
  public:
    PracticeSettingsBinding(const SoundUi& ui, PracticeSettings& settings,
                            QObject* parent = nullptr);

    // The WAV settings dialog's bars, once it exists.
    void bindWaveLevelBars(const QScrollBar* quality, const QScrollBar* volume);

  private:
    void takeGenerator();
    void takeSpeed();

    const SoundUi& m_ui;
    PracticeSettings& m_settings;
};
