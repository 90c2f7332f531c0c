#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "core/morse/BandConditions.h"

class BandConditionsDialog;
class Clock;
class DesktopServices;
class QAction;
class QLabel;
class QWidget;
class SoundControls;
class SoundOutput;

// The sound menu's band conditions entry: the dialog, the conditions kept in the program's own
// settings file, and the sound output told of them (again whenever the tone changes, since the
// receiver's filter and the other stations sit around it).
class BandConditionsMenu : public QObject {
    Q_OBJECT
  public:
    BandConditionsMenu(QWidget* mainWindow, QAction* entry, SoundOutput& output,
                       const SoundControls& controls, QString programSettingsPath, Clock& clock,
                       DesktopServices& desktop, QObject* parent = nullptr);
    ~BandConditionsMenu() override;

    const BandConditions& conditions() const { return m_conditions; }
    // What is played: the listener's own conditions if they chose any, else a peer's request
    // while its link lasts, else none.
    BandConditions effectiveConditions() const;
    // A peer's request, kept while linkStands() says so; the line that tells the learner.
    QString takeRequest(const BandConditions& requested, std::function<bool()> linkStands);
    BandConditionsDialog& dialog() { return *m_dialog; }

    void MainForm_mnuSoundBand_Click();
    // Tells the output of the conditions around the present tone, if they or the tone changed.
    void applyToOutput();
    // The label that says which conditions are played, kept in step from now on.
    void showStatusIn(QLabel* label);

  private:
    void showStatus();

    QWidget* m_mainWindow;
    SoundOutput& m_output;
    const SoundControls& m_controls;
    QString m_settingsPath;
    DesktopServices& m_desktop;
    BandConditionsDialog* m_dialog;
    BandConditions m_conditions;
    std::optional<BandConditions> m_requested;
    std::function<bool()> m_requestStands;
    BandConditions m_applied;
    int m_appliedTone = -1;
    QLabel* m_statusLabel = nullptr;
};
