#pragma once

#include <QDialog>

#include "morse/BandConditions.h"

class Clock;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class QPushButton;

// The band conditions dialog: a ready-made choice or each effect by itself, and the seed that
// makes them sound the same for everyone who uses it.
class BandConditionsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit BandConditionsDialog(Clock& clock, QWidget* parent = nullptr);

    QComboBox* presetCombo = nullptr;
    QLineEdit* seedText = nullptr;
    QPushButton* newSeedButton = nullptr;
    QCheckBox* noiseCheck = nullptr;
    QDoubleSpinBox* snrSpin = nullptr;
    QCheckBox* fadingCheck = nullptr;
    QDoubleSpinBox* fadingSpin = nullptr;
    QSpinBox* stationsSpin = nullptr;
    QSpinBox* spreadSpin = nullptr;
    QSpinBox* wpmLowSpin = nullptr;
    QSpinBox* wpmHighSpin = nullptr;
    QDoubleSpinBox* stationLevelSpin = nullptr;
    QCheckBox* crashesCheck = nullptr;
    QDoubleSpinBox* crashRateSpin = nullptr;
    QDoubleSpinBox* crashLevelSpin = nullptr;
    QCheckBox* chirpCheck = nullptr;
    QDoubleSpinBox* chirpSpin = nullptr;
    QCheckBox* fistCheck = nullptr;
    QDoubleSpinBox* jitterSpin = nullptr;
    QDoubleSpinBox* weightSpin = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

    void showConditions(const BandConditions& conditions);
    BandConditions conditions() const;

    // Shows the dialog modally beside anchor's window; whether the listener chose OK.
    bool OpenModal(QWidget* anchor, const BandConditions& current);

    void presetChosen(int index);
    void newSeed();

  private:
    void build();

    Clock& m_clock;
    bool m_accepted = false;
};
