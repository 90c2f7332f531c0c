#pragma once

#include <QObject>
#include <QString>

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

    // The program's own settings file: the free speed's figures and presets are kept there.
    void setStorePath(const QString& path) { m_storePath = path; }
    // Takes the free speed kept in that file (and selects it when it was chosen).
    void loadFreeSpeed();
    // The free speed's dialog, modal; what it sets is taken when it is accepted.
    void openFreeSpeedDialog();

  private:
    void takeGenerator();
    void takeSpeed();
    void showFreeSpeed();

    const SoundUi& m_ui;
    PracticeSettings& m_settings;
    QString m_storePath;
};
