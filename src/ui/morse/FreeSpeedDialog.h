#pragma once

#include <QDialog>
#include <QList>

#include "core/morse/SpeedPresets.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class ProgramSettings;

// Sets the speed of its own: character speed, effective (Farnsworth) speed and extra word space,
// and picks, names, saves and deletes presets of them with a tone. The presets are kept in the
// program's own settings file as soon as they change.
class FreeSpeedDialog : public QDialog {
    Q_OBJECT
  public:
    FreeSpeedDialog(ProgramSettings& store, QWidget* parent = nullptr);

    void setSpeed(const FreeSpeed& speed, const QString& toneText);
    FreeSpeed speed() const;
    // The tone of the preset picked last; the tone given otherwise.
    QString toneText() const { return m_toneText; }

    // Picks the preset at index (its figures and tone are taken).
    void pickPreset(int index);
    // Keeps the figures under the name, replacing a preset of that name; false when the name is
    // empty or the file refuses them.
    bool savePreset(const QString& name);
    bool deletePreset(int index);
    const QList<SpeedPreset>& presets() const { return m_presets; }

  private:
    void buildControls();
    void fillPresets();
    void showFigures();
    bool keepPresets();

    ProgramSettings& m_store;
    QList<SpeedPreset> m_presets;
    QString m_toneText;
    QComboBox* m_presetBox = nullptr;
    QLineEdit* m_nameText = nullptr;
    QDoubleSpinBox* m_characterSpin = nullptr;
    QCheckBox* m_stretchCheck = nullptr;
    QDoubleSpinBox* m_effectiveSpin = nullptr;
    QDoubleSpinBox* m_extraSpin = nullptr;
    QLabel* m_figureLabel = nullptr;
    QLabel* m_messageLabel = nullptr;
};
