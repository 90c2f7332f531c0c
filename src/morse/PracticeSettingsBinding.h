#pragma once

#include <QObject>

struct MainFormUi;
class PracticeSettings;
class QScrollBar;

// Keeps the practice settings equal to the main window's controls and the WAV settings dialog's
// level bars: takes their values now and follows every change signal they give.
class PracticeSettingsBinding : public QObject {
    Q_OBJECT
  public:
    PracticeSettingsBinding(const MainFormUi& ui, PracticeSettings& settings,
                            QObject* parent = nullptr);

    // The WAV settings dialog's bars, once it exists.
    void bindWaveLevelBars(const QScrollBar* quality, const QScrollBar* volume);

  private:
    void takeGenerator();
    void takeSpeed();

    const MainFormUi& m_ui;
    PracticeSettings& m_settings;
};
