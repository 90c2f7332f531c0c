#pragma once

#include <QDialog>

class Clock;
class DesktopServices;
class QLabel;
class QPushButton;
class QScrollBar;
class RecordFile;
class SoundControls;
class WaveGenerator;

// The WAV settings dialog: quality and volume levels, a test word, saving them
// to records 6 and 7. It exists for the whole run; the WAV generator reads its
// two scroll bars whether it is shown or not.
class WaveDialog : public QDialog {
    Q_OBJECT
  public:
    WaveDialog(WaveGenerator& wave, const SoundControls& controls, QString settingsPath,
               Clock& clock, DesktopServices& desktop, QWidget* parent = nullptr);

    QScrollBar* WavQuarityHScroll = nullptr;
    QScrollBar* WavVolumeHScroll = nullptr;
    QLabel* QuarityLabel = nullptr;  // "[音質1]" ... "[音質5]"
    QLabel* VolumeLabel = nullptr;   // "[音量2]" ... "[音量10]"
    QPushButton* TestButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* CloseButton = nullptr;

    // Records 6 and 7: a level of 1 ... 5 sets its bar and label, anything else
    // leaves them as they are.
    void ApplySavedLevels(const RecordFile& file);

    // Places the dialog beside anchor's window, shows it modally and, once it
    // is hidden, returns the levels to the saved ones.
    void OpenModal(QWidget* anchor);

    void WaveDialog_WavQuarityHScroll_Change(int level);
    void WaveDialog_WavVolumeHScroll_Change(int level);
    void WaveDialog_TestButton_Click();
    void WaveDialog_SaveButton_Click();
    void WaveDialog_CloseButton_Click();

  private:
    void buildControls();

    WaveGenerator& m_wave;
    const SoundControls& m_controls;
    QString m_settingsPath;
    Clock& m_clock;
    DesktopServices& m_desktop;
};

// The captions the level labels show for a level 1 ... 5.
QString QualityCaption(int level);
QString VolumeCaption(int level);
