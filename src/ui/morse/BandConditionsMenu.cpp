#include "ui/morse/BandConditionsMenu.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

#include "core/kit/ProgramSettings.h"
#include "core/kit/SaveMessages.h"
#include "core/morse/SoundControls.h"
#include "core/morse/ToneFrequency.h"
#include "core/sound/SoundOutput.h"
#include "ui/kit/DesktopServices.h"
#include "ui/morse/BandConditionsDialog.h"

using namespace Qt::StringLiterals;

BandConditionsMenu::BandConditionsMenu(QWidget* mainWindow, QAction* entry, SoundOutput& output,
                                       const SoundControls& controls, QString programSettingsPath,
                                       Clock& clock, DesktopServices& desktop, QObject* parent)
    : QObject(parent),
      m_mainWindow(mainWindow),
      m_output(output),
      m_controls(controls),
      m_settingsPath(std::move(programSettingsPath)),
      m_desktop(desktop),
      m_dialog(new BandConditionsDialog(clock, mainWindow)) {
    QStringList refused;
    m_conditions = LoadBandConditions(ProgramSettings(m_settingsPath), &refused);
    if (!refused.isEmpty()) {
        // Once the window is up: a message box before it would stand alone on the desktop.
        QTimer::singleShot(0, this, [this, refused] {
            m_desktop.showMessage(
                m_mainWindow, DesktopServices::Icon::Warning, u"バンドコンディション"_s,
                u"%1 のバンドコンディションの次の値は使えないため、既定の値にしました:\n%2"_s.arg(
                    m_settingsPath, refused.join(u'\n')));
        });
    }
    m_dialog->setWindowFlag(Qt::Dialog);
    connect(entry, &QAction::triggered, this, &BandConditionsMenu::MainForm_mnuSoundBand_Click);
    applyToOutput();
}

BandConditionsMenu::~BandConditionsMenu() = default;

void BandConditionsMenu::MainForm_mnuSoundBand_Click() {
    if (!m_dialog->OpenModal(m_mainWindow, m_conditions)) {
        return;
    }
    m_conditions = m_dialog->conditions();
    ProgramSettings store(m_settingsPath);
    if (!SaveBandConditions(store, m_conditions)) {
        m_desktop.showMessage(m_mainWindow, DesktopServices::Icon::Warning,
                              u"バンドコンディション"_s,
                              SaveMessages::KeptForThisRun(m_settingsPath));
    }
    m_appliedTone = -1;  // applied afresh: the seed's sound starts from its beginning
    applyToOutput();
}

BandConditions BandConditionsMenu::effectiveConditions() const {
    if (m_conditions.anyOn() || !m_requested || !m_requestStands()) {
        return m_conditions;
    }
    return *m_requested;
}

QString BandConditionsMenu::takeRequest(const BandConditions& requested,
                                        std::function<bool()> linkStands) {
    m_requested = requested;
    m_requestStands = std::move(linkStands);
    applyToOutput();
    const QString asked = requested.anyOn() ? requested.summary() : u"なし"_s;
    if (m_conditions.anyOn()) {
        return u"相手がバンドコンディション（%1、シード %2）を求めましたが、"
               u"ご自分で選んだバンドコンディションが優先されます。"_s.arg(asked)
                   .arg(requested.seed);
    }
    return u"相手の出題はバンドコンディション（%1、シード %2）で再生されます。"_s.arg(asked).arg(
        requested.seed);
}

void BandConditionsMenu::applyToOutput() {
    const int tone = m_controls.toneHz();
    const BandConditions effective = effectiveConditions();
    if (tone == m_appliedTone && effective == m_applied) {
        return;
    }
    m_appliedTone = tone;
    m_applied = effective;
    m_output.setBandConditions(ToBandSettings(effective, tone));
    showStatus();
}

void BandConditionsMenu::showStatusIn(QLabel* label) {
    m_statusLabel = label;
    showStatus();
}

void BandConditionsMenu::showStatus() {
    if (m_statusLabel != nullptr) {
        m_statusLabel->setText(BandStatusText(m_applied));
    }
}
