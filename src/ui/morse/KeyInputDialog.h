#pragma once

#include <QDialog>

#include "core/morse/KeyInputSettings.h"

class Clock;
class KeyingPad;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// "キー入力の設定": what the learner keys with and the keyer's mode, speed and weight, with a pad
// to try them on at once (its picture lights while a contact is closed).
class KeyInputDialog : public QDialog {
    Q_OBJECT
  public:
    KeyInputDialog(Clock& clock, const KeyInputSettings& settings, QWidget* parent = nullptr);

    // Shows the dialog until it is closed, the program's events running; whether OK closed it.
    bool OpenModal(QWidget* anchor);

    KeyInputSettings settings() const;
    KeyingPad& testPad() const { return *m_pad; }

  private:
    void show(const KeyInputSettings& settings);
    void listPorts(const QString& current);
    void changed();

    Clock& m_clock;
    bool m_accepted = false;
    QComboBox* m_source;
    QComboBox* m_mode;
    QSpinBox* m_wpm;
    QSpinBox* m_weight;
    QCheckBox* m_swap;
    QPushButton* m_refreshPorts = nullptr;
    QComboBox* m_straightKey;
    QComboBox* m_dotKey;
    QComboBox* m_dashKey;
    QComboBox* m_port;
    QComboBox* m_straightLine;
    QComboBox* m_dotLine;
    QComboBox* m_dashLine;
    KeyingPad* m_pad;
    QLabel* m_decoded;
};
