#pragma once

#include <QObject>

class QWidget;
class SoundControls;
class WaveDialog;
class WaveGenerator;
struct SoundUi;

// The main window's sound menu and its tone test button.
class SoundMenu : public QObject {
    Q_OBJECT
  public:
    // mainWindow is the dialog's anchor.
    SoundMenu(QWidget* mainWindow, const SoundUi& ui, WaveDialog& dialog, WaveGenerator& wave,
              const SoundControls& controls, QObject* parent = nullptr);

    void MainForm_mnuSoundWave_Click();
    void MainForm_mnuSoundBeep_Click();
    void MainForm_mnuSoundQuarity_Click();
    void MainForm_toneTestButton_Click();

  private:
    void selectGenerator(bool wave);

    QWidget* m_mainWindow;
    const SoundUi& m_ui;
    WaveDialog& m_dialog;
    WaveGenerator& m_wave;
    const SoundControls& m_controls;
};
