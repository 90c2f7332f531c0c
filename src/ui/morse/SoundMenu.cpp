#include "ui/morse/SoundMenu.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "core/morse/SoundControls.h"
#include "core/morse/ToneFrequency.h"
#include "core/morse/WaveGenerator.h"
#include "ui/morse/SoundUi.h"
#include "ui/morse/WaveDialog.h"

SoundMenu::SoundMenu(QWidget* mainWindow, const SoundUi& ui, WaveDialog& dialog,
                     WaveGenerator& wave, const SoundControls& controls, QObject* parent)
    : QObject(parent),
      m_mainWindow(mainWindow),
      m_ui(ui),
      m_dialog(dialog),
      m_wave(wave),
      m_controls(controls) {
    // A checkable entry unchecks itself when clicked; the handlers set the marks they want.
    connect(m_ui.mnuSoundWave, &QAction::triggered, this, &SoundMenu::MainForm_mnuSoundWave_Click);
    connect(m_ui.mnuSoundBeep, &QAction::triggered, this, &SoundMenu::MainForm_mnuSoundBeep_Click);
    connect(m_ui.mnuSoundQuarity, &QAction::triggered, this,
            &SoundMenu::MainForm_mnuSoundQuarity_Click);
    connect(m_ui.toneTestButton, &QPushButton::clicked, this,
            &SoundMenu::MainForm_toneTestButton_Click);
}

void SoundMenu::selectGenerator(bool wave) {
    m_ui.mnuSoundWave->setChecked(wave);
    m_ui.mnuSoundBeep->setChecked(!wave);
    m_ui.mnuSoundQuarity->setEnabled(wave);
}

void SoundMenu::MainForm_mnuSoundWave_Click() {
    selectGenerator(true);
}

void SoundMenu::MainForm_mnuSoundBeep_Click() {
    selectGenerator(false);
}

void SoundMenu::MainForm_mnuSoundQuarity_Click() {
    m_dialog.OpenModal(m_mainWindow);
}

void SoundMenu::MainForm_toneTestButton_Click() {
    m_ui.ToneText->setReadOnly(true);
    m_ui.toneTestButton->setEnabled(false);
    m_wave.PlayTestWord(kTestWordUnitMs, m_controls.toneHz(), this, [this] {
        m_ui.toneTestButton->setEnabled(true);
        m_ui.ToneText->setReadOnly(false);
    });
}
