#pragma once

#include <array>

#include "core/kit/SpeedTable.h"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;

// The main window's sound settings: the speeds and their fine adjustment, the tone, and the
// sound menu.
struct SoundUi {
    QRadioButton* Speed25_Option = nullptr;  // "毎分２５文字"
    QRadioButton* Speed45_Option = nullptr;  // "毎分４５文字"
    QRadioButton* Speed60_Option = nullptr;  // "毎分６０文字"
    // A speed of its own instead of the three; its figures beside it and the button to set them.
    QRadioButton* SpeedFree_Option = nullptr;  // "自由な速度"
    QLabel* freeSpeedLabel = nullptr;          // "20 WPM（毎分91文字）"
    QPushButton* freeSpeedButton = nullptr;    // "設定..."
    QButtonGroup* speedGroup = nullptr;

    // Speed fine adjustment: 20 at the left end, -20 at the right, steps of 5
    QScrollBar* Speed_HScroll = nullptr;
    QLabel* Label7 = nullptr;  // "微調整 ±0%"

    // Tone
    QGroupBox* toneFrame = nullptr;         // "トーン周波数"
    QLineEdit* ToneText = nullptr;          // "800"
    QLabel* hzLabel = nullptr;              // "Hz"
    QPushButton* toneTestButton = nullptr;  // "テスト"

    QMenu* mnuSound = nullptr;
    QAction* mnuSoundWave = nullptr;
    QAction* mnuSoundBeep = nullptr;
    QAction* mnuSeparator = nullptr;
    QAction* mnuSoundQuarity = nullptr;
    QAction* mnuSoundBand = nullptr;  // "バンドコンディション(&C)..."
};

// The option button of each speed, in the order of kSpeeds.
inline constexpr std::array<QRadioButton * SoundUi::*, 3> kSpeedOptions{
    &SoundUi::Speed25_Option, &SoundUi::Speed45_Option, &SoundUi::Speed60_Option};
static_assert(kSpeedOptions.size() == kSpeeds.size());

// The option button of a speed.
QRadioButton* SpeedOption(const SoundUi& ui, const Speed& speed);
// The first selected of the three speed options, tested 25, 45, 60; null when none is.
const Speed* SelectedSpeed(const SoundUi& ui);
// The speed options, the free speed's button and the fine adjustment together.
void SetSpeedControlsEnabled(const SoundUi& ui, bool enabled);
// The fine adjustment does not change a speed of its own: enabled with the speed options, and
// only while one of the three fixed speeds is chosen.
void EnableFineAdjust(const SoundUi& ui);
