#pragma once

#include <QDialog>

#include "core/morse/BandConditionFields.h"
#include "core/morse/BandConditions.h"

class Clock;
class QCheckBox;
class NamedComboBox;
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

    NamedComboBox* presetCombo = nullptr;
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

    // Shows the preset's conditions, the seed kept; a preset is chosen however the list was
    // changed (a click, the keyboard, a screen reader), so OK takes it.
    void presetChosen(int index);
    void newSeed();

  private:
    void build();
    template <typename Spin, typename Figure>
    Spin* edit(Figure BandConditions::*member, const QString& accessibleName, const QString& suffix,
               double step = 1);
    QCheckBox* edit(bool BandConditions::*member, const QString& caption);
    // Selects the preset the controls show, or none when they are the listener's own.
    void showPreset();

    Clock& m_clock;
    bool m_accepted = false;
    bool m_showing = false;  // the controls are being set from conditions, not by the listener
    struct Editor {
        BandConditionField::Member member;
        QWidget* widget;
    };
    QList<Editor> m_editors;
};
